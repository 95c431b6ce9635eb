#include "common/errors.h"
#include "link/linkdetails.h"

#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// A length byte and the field's positions, zero-filled, built independently
// of the code under test.
QByteArray Field(const QByteArray &text, int capacity)
{
    QByteArray field(1, char(text.size()));
    field += text;
    field += QByteArray(capacity - text.size(), '\0');
    return field;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

} // namespace

class TestLinkDetails : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void recordIsByteExact()
    {
        LinkDetails details;
        details.pin = QStringLiteral("1234");
        details.phoneNumber = QStringLiteral("0123456789");
        details.remember = true;
        details.remote = true;
        details.wifi = false;
        details.portName = QStringLiteral("USB0");
        details.ipAddress = QStringLiteral("192.168.1.40");

        QByteArray expected = Field("1234", 16) + Field("0123456789", 16);
        expected += char(1);
        expected += char(1);
        expected += char(0);
        expected += Field("USB0", 6) + Field("192.168.1.40", 32);
        QCOMPARE(expected.size(), 77);

        QCOMPARE(EncodeLinkDetails(details), expected);

        const QString file = path("exact.ini");
        WriteLinkDetails(file, details);
        QCOMPARE(ReadAll(file), expected);
        const auto back = ReadLinkDetails(file);
        QVERIFY(back.has_value());
        QVERIFY(*back == details);
    }

    void emptyRecordAndWiFiFlag()
    {
        LinkDetails details;
        details.wifi = true;
        details.portName = QStringLiteral("S0");
        QByteArray expected = Field("", 16) + Field("", 16);
        expected += char(0);
        expected += char(0);
        expected += char(1);
        expected += Field("S0", 6) + Field("", 32);
        QCOMPARE(EncodeLinkDetails(details), expected);
        const auto back = DecodeLinkDetails(expected);
        QVERIFY(back.has_value());
        QVERIFY(back->wifi);
        QVERIFY(!back->remember);
        QVERIFY(!back->remote);
        QCOMPARE(back->portName, QStringLiteral("S0"));
    }

    void longTextsAreCutToTheirFields()
    {
        LinkDetails details;
        details.pin = QStringLiteral("12345678901234567890");
        details.phoneNumber = QStringLiteral("01234567890123456789");
        details.portName = QStringLiteral("ABCDEFGH");
        details.ipAddress = QString(40, QLatin1Char('a'));
        const QByteArray record = EncodeLinkDetails(details);
        QCOMPARE(record.size(), 77);
        const auto back = DecodeLinkDetails(record);
        QVERIFY(back.has_value());
        QCOMPARE(back->pin, QStringLiteral("1234567890123456"));
        QCOMPARE(back->phoneNumber, QStringLiteral("0123456789012345"));
        QCOMPARE(back->portName, QStringLiteral("ABCDEF"));
        QCOMPARE(back->ipAddress, QString(32, QLatin1Char('a')));
    }

    void highBytesSurvive()
    {
        // Every byte value 0x80-0xFF, spread over the text fields.
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b)
            high.append(char(b));
        LinkDetails details;
        details.pin = QString::fromLatin1(high.mid(0, 16));
        details.phoneNumber = QString::fromLatin1(high.mid(16, 16));
        details.portName = QString::fromLatin1(high.mid(32, 6));
        details.ipAddress = QString::fromLatin1(high.mid(38, 32));
        const QString file = path("high.ini");
        WriteLinkDetails(file, details);
        const QByteArray bytes = ReadAll(file);
        QCOMPARE(bytes.mid(1, 16), high.mid(0, 16));
        QCOMPARE(bytes.mid(18, 16), high.mid(16, 16));
        QCOMPARE(bytes.mid(38, 6), high.mid(32, 6));
        QCOMPARE(bytes.mid(45, 32), high.mid(38, 32));
        const auto back = ReadLinkDetails(file);
        QVERIFY(back.has_value());
        QVERIFY(*back == details);
    }

    void malformedFiles()
    {
        // Missing, a folder, short: unreadable.
        QVERIFY(!ReadLinkDetails(path("missing.ini")).has_value());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.ini")));
        QVERIFY(!ReadLinkDetails(path("folder.ini")).has_value());
        QByteArray full = EncodeLinkDetails(LinkDetails{});
        WriteAll(path("short.ini"), full.left(76));
        QVERIFY(!ReadLinkDetails(path("short.ini")).has_value());
        WriteAll(path("empty.ini"), QByteArray());
        QVERIFY(!ReadLinkDetails(path("empty.ini")).has_value());

        // Length bytes above capacity read as the capacity; bytes past the
        // length are ignored; any non-zero flag counts as ticked.
        QByteArray record(77, 'x');
        record[0] = char(0xFF);
        record[17] = char(17);
        record[34] = char(2);
        record[35] = char(0);
        record[36] = char(0xFF);
        record[37] = char(7);
        record[44] = char(33);
        record += QByteArray("trailing bytes are not part of the record");
        WriteAll(path("oversize.ini"), record);
        const auto back = ReadLinkDetails(path("oversize.ini"));
        QVERIFY(back.has_value());
        QCOMPARE(back->pin, QString(16, QLatin1Char('x')));
        QCOMPARE(back->phoneNumber, QString(16, QLatin1Char('x')));
        QVERIFY(back->remember);
        QVERIFY(!back->remote);
        QVERIFY(back->wifi);
        QCOMPARE(back->portName, QString(6, QLatin1Char('x')));
        QCOMPARE(back->ipAddress, QString(32, QLatin1Char('x')));

        QByteArray shortTexts = EncodeLinkDetails(LinkDetails{});
        shortTexts[0] = char(2);
        shortTexts[1] = 'A';
        shortTexts[2] = 'B';
        shortTexts[3] = 'C'; // past the length: not part of the PIN
        QCOMPARE(DecodeLinkDetails(shortTexts)->pin, QStringLiteral("AB"));
    }

    void fileIsOwnersAlone()
    {
        LinkDetails details;
        details.pin = QStringLiteral("9999");
        details.remember = true;

        const QString fresh = path("fresh.ini");
        const mode_t oldMask = ::umask(0);
        WriteLinkDetails(fresh, details);
        ::umask(oldMask);
        QCOMPARE(ModeOf(fresh), mode_t(0600));

        const QString wide = path("wide.ini");
        WriteAll(wide, QByteArray(77, '\0'));
        QVERIFY(QFile::setPermissions(wide, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QCOMPARE(ModeOf(wide), mode_t(0644));
        WriteLinkDetails(wide, details);
        QCOMPARE(ModeOf(wide), mode_t(0600));
        QCOMPARE(ReadLinkDetails(wide)->pin, QStringLiteral("9999"));
    }

    void writeFailureIsReported()
    {
        // Tests run as root: only a path under a regular file is sure to fail.
        const QString blocker = path("blocker");
        WriteAll(blocker, QByteArrayLiteral("not a folder"));
        const QString impossible = blocker + QLatin1String("/Ostidata.ini");
        try {
            WriteLinkDetails(impossible, LinkDetails{});
            QFAIL("writing under a regular file succeeded");
        } catch (const AppError &e) {
            QVERIFY2(e.text().contains(QLatin1String("Ostidata.ini")), qPrintable(e.text()));
        }
        QCOMPARE(ReadAll(blocker), QByteArrayLiteral("not a folder"));
    }

    // A full disk: the record does not fit, and the old file stays whole.
    void fullDiskIsReported()
    {
        const QString file = path("full.ini");
        LinkDetails details;
        details.pin = QStringLiteral("1234");
        WriteLinkDetails(file, details);
        const QByteArray before = ReadAll(file);
        details.pin = QStringLiteral("5678");
        try {
            const FileSizeLimit full(40);
            WriteLinkDetails(file, details);
            QFAIL("a record that did not fit was reported as saved");
        } catch (const AppError &e) {
            QVERIFY2(e.text().contains(QLatin1String("full.ini")), qPrintable(e.text()));
        }
        QCOMPARE(ReadAll(file), before);
    }
};

QTEST_GUILESS_MAIN(TestLinkDetails)
#include "tst_linkdetails.moc"
