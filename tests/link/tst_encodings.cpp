#include "common/errors.h"
#include "link/encodings.h"

#include <QTest>

namespace {

// Unit text from raw bytes (NUL and 0xFF included).
QString bytes(const char *data, int size) { return QString::fromLatin1(data, size); }
QString text(const char *latin1) { return QString::fromLatin1(latin1); }

const QChar NUL(0);
const QChar FF(0xFF);

// The message text of the error a call throws, or a note that it threw none.
template <class E, class F>
QString errorText(F &&call)
{
    try {
        call();
    } catch (const E &e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class TestEncodings : public QObject {
    Q_OBJECT
private slots:
    void nibbleAlphabet()
    {
        QString alphabet;
        for (int v = 0; v < 16; ++v)
            alphabet += NibbleChar(v);
        QCOMPARE(alphabet, text("0123456789:;<=>?"));
        // Exactly the sixteen characters 0x30-0x3F are nibbles.
        for (int c = 0; c < 256; ++c) {
            const int expected = c >= 0x30 && c <= 0x3F ? c - 0x30 : -1;
            QCOMPARE(NibbleValue(QChar(c)), expected);
        }
        QCOMPARE(NibbleValue(QChar(0x130)), -1);
    }

    void everyByteAsNibblePair()
    {
        QCOMPARE(ByteToNibblePair(0), text("00"));
        QCOMPARE(ByteToNibblePair(0xA5), text(":5"));
        QCOMPARE(ByteToNibblePair(0xFF), text("??"));
        for (int b = 0; b < 256; ++b) {
            const QString pair = ByteToNibblePair(b);
            QCOMPARE(pair.size(), 2);
            QCOMPARE(NibblePairToByte(pair), b);
            QCOMPARE(NibblePairToDecimal(pair), QString::number(b));
            QCOMPARE(DecimalToNibblePair(QString::number(b)), pair);
        }
    }

    void nibblePairToDecimal_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow(":5") << text(":5") << text("165");
        QTest::newRow("??") << text("??") << text("255");
        QTest::newRow("0<") << text("0<") << text("12");
        QTest::newRow("lone 7") << text("7") << text("112");
        QTest::newRow("A5: outside the alphabet is 0") << text("A5") << text("5");
        QTest::newRow("=>") << text("=>") << text("222");
        QTest::newRow("0:") << text("0:") << text("10");
        QTest::newRow("only two characters read") << text(":5?????") << text("165");
        QTest::newRow("ER") << text("ER") << text("0");
        QTest::newRow("NUL FF") << bytes("\0\xFF", 2) << text("0");
        QTest::newRow("digit then FF") << bytes("3\xFF", 2) << text("48");
    }
    void nibblePairToDecimal()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(NibblePairToDecimal(in), out);
    }
    void nibblePairToDecimalOfEmptyIsEmpty() { QVERIFY(NibblePairToDecimal(QString()).isEmpty()); }

    void decimalToNibblePair_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("165") << text("165") << text(":5");
        QTest::newRow("255") << text("255") << text("??");
        QTest::newRow("12") << text("12") << text("0<");
        QTest::newRow("0") << text("0") << text("00");
        QTest::newRow("10") << text("10") << text("0:");
        QTest::newRow("171") << text("171") << text(":;");
        QTest::newRow("187") << text("187") << text(";;");
        QTest::newRow("15") << text("15") << text("0?");
        QTest::newRow("20") << text("20") << text("14");
        QTest::newRow("35") << text("35") << text("23");
        QTest::newRow("50") << text("50") << text("32");
        QTest::newRow("99") << text("99") << text("63");
        QTest::newRow("leading zeros") << text("007") << text("07");
        QTest::newRow("leading blank") << text(" 5") << text("05");
        QTest::newRow("plus sign") << text("+16") << text("10");
    }
    void decimalToNibblePair()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DecimalToNibblePair(in), out);
    }

    void notDecimalIsConversionError_data()
    {
        QTest::addColumn<QString>("in");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << text(" ");
        QTest::newRow("letters") << text("abc");
        QTest::newRow("digits then letter") << text("12a");
        QTest::newRow("trailing blank") << text("12 ");
        QTest::newRow("sign only") << text("-");
        QTest::newRow("dollar hex") << text("$10");
        QTest::newRow("0x hex") << text("0x10");
        QTest::newRow("ERROR") << text("ERROR");
        QTest::newRow("high byte") << bytes("1\xE9", 2);
        QTest::newRow("too large") << text("99999999999");
    }
    void notDecimalIsConversionError()
    {
        QFETCH(QString, in);
        const QString expected = QStringLiteral("'%1' is not a valid integer value").arg(in);
        QCOMPARE(errorText<ConversionError>([&] { DecimalToNibblePair(in); }), expected);
        QCOMPARE(errorText<ConversionError>([&] { ClampText(in, 0, 99); }), expected);
    }

    void decimalToNibblePairRefusesWhatIsNotOneByte()
    {
        // More than two characters would shift every later field of a block.
        for (const char *in : {"256", "4096", "-1"}) {
            const QString message = errorText<AppError>([&] { DecimalToNibblePair(text(in)); });
            QVERIFY2(message.contains(text(in)), qPrintable(message));
            QVERIFY(!message.contains(QStringLiteral("integer")));
        }
    }

    void decodeText_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("question marks") << text("OFFICE????") << text("OFFICE");
        QTest::newRow("FF") << bytes("AB\xFF\xFF", 4) << text("AB");
        QTest::newRow("no end") << text("ABC") << text("ABC");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("erased") << bytes("\xFF\xFF\xFF\xFF\xFF\xFF", 6) << QString();
        QTest::newRow("first end wins") << bytes("12?\xFF", 4) << text("12");
        QTest::newRow("FF before ?") << bytes("12\xFF?", 4) << text("12");
        QTest::newRow("NUL is not an end") << bytes("A\0B?", 4) << bytes("A\0B", 3);
    }
    void decodeText()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DecodeText(in), out);
    }

    void decodeDigits_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("all dial characters") << text("0123:4;5<6??????") << text("0123*4#5p6");
        QTest::newRow("only fill") << text("??") << QString();
        QTest::newRow("12;") << text("12;?????") << text("12#");
        QTest::newRow("5551<22") << text("5551<22") << text("5551p22");
        QTest::newRow("other nibbles copied") << text("=>") << text("=>");
        QTest::newRow("FF copied") << bytes("1\xFF" "2?3", 5) << bytes("1\xFF" "2", 3);
        QTest::newRow("erased after FFToNul") << QString(16, NUL) << QString(16, NUL);
    }
    void decodeDigits()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DecodeDigits(in), out);
    }

    void decodeEveryByte()
    {
        for (int b = 0; b < 256; ++b) {
            const QString one(1, QChar(b));
            const QString withTail = one + text("7");
            QString digit = one;
            if (b == ':')
                digit = text("*");
            else if (b == ';')
                digit = text("#");
            else if (b == '<')
                digit = text("p");
            if (b == '?') {
                QCOMPARE(DecodeDigits(withTail), QString());
                QCOMPARE(DecodeText(withTail), QString());
            } else {
                QCOMPARE(DecodeDigits(withTail), digit + text("7"));
                QCOMPARE(DecodeText(withTail), b == 0xFF ? QString() : withTail);
            }
        }
    }

    void encodeDigits_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("out");
        QTest::newRow("all dial characters") << text("0123*4#5p6") << 16 << text("0123:4;5<6");
        QTest::newRow("P pause") << text("P9") << 16 << text("<9");
        QTest::newRow("blank ends") << text("12 34") << 16 << text("12");
        QTest::newRow("*#p") << text("*#p") << 3 << text(":;<");
        QTest::newRow("lone colon") << text(":") << 1 << text("<");
        QTest::newRow("twenty digits") << text("12345678901234567890") << 20 << text("1234567890123456");
        QTest::newRow("n limits") << text("12345") << 3 << text("123");
        QTest::newRow("n beyond text") << text("12") << 16 << text("12");
        QTest::newRow("n zero") << text("12") << 0 << QString();
        QTest::newRow("n negative") << text("12") << -4 << QString();
        QTest::newRow("mixed") << text("0#12*34p5") << 16 << text("0;12:34<5");
        QTest::newRow("? ends") << text("12?3") << 16 << text("12");
        QTest::newRow("nibble letters end") << text("1;2") << 16 << text("1");
        QTest::newRow("NUL ends") << bytes("1\0" "2", 3) << 16 << text("1");
        QTest::newRow("FF ends") << bytes("1\xFF" "2", 3) << 16 << text("1");
        QTest::newRow("empty") << QString() << 16 << QString();
    }
    void encodeDigits()
    {
        QFETCH(QString, in);
        QFETCH(int, n);
        QFETCH(QString, out);
        QCOMPARE(EncodeDigits(in, n), out);
    }

    void dialDigitsRoundTrip()
    {
        QCOMPARE(DecodeDigits(EncodeDigits(text("*#p"), 3)), text("*#p"));
        QCOMPARE(DecodeDigits(EncodeDigits(text(":"), 1)), text("p"));
        QCOMPARE(DecodeDigits(EncodeDigits(text("0123456789*#p"), 16)), text("0123456789*#p"));
        // The fill that writers add ends the number again.
        QCOMPARE(DecodeDigits(PadRight(EncodeDigits(text("55#1"), 16), 16, QLatin1Char('?'))), text("55#1"));
    }

    void ffToNul()
    {
        QCOMPARE(FFToNul(bytes("12\xFF\xFF", 4), 16), bytes("12\0\0", 4));
        QCOMPARE(FFToNul(QString(), 16), text("ERROR"));
        QCOMPARE(FFToNul(QString(), 0), text("ERROR"));
        // Only the first n characters are examined; the length never changes.
        QCOMPARE(FFToNul(bytes("\xFF\xFF\xFF", 3), 2), bytes("\0\0\xFF", 3));
        QCOMPARE(FFToNul(bytes("\xFF\xFF", 2), 0), bytes("\xFF\xFF", 2));
        QCOMPARE(FFToNul(text("OFFICE"), 16), text("OFFICE"));
        // An erased field reads as 16 NULs and shows as an empty field.
        const QString erased = FFToNul(QString(16, FF), 16);
        QCOMPARE(erased, QString(16, NUL));
        QCOMPARE(DecodeDigits(erased), QString(16, NUL));
        QVERIFY(CutAtNul(DecodeDigits(erased)).isEmpty());
    }

    void ffToNulOnEveryByte()
    {
        QString all;
        for (int b = 0; b < 256; ++b)
            all += QChar(b);
        QString expected = all;
        expected[255] = NUL;
        QCOMPARE(FFToNul(all, 256), expected);
        QCOMPARE(FFToNul(all, 255), all);
    }

    void cutAtNul()
    {
        QCOMPARE(CutAtNul(bytes("1234\0\0", 6)), text("1234"));
        QCOMPARE(CutAtNul(bytes("AB\0CD", 5)), text("AB"));
        QCOMPARE(CutAtNul(bytes("\0AB", 3)), QString());
        QCOMPARE(CutAtNul(bytes("A\xFF" "B", 3)), bytes("A\xFF" "B", 3));
        QCOMPARE(CutAtNul(QString()), QString());
    }

    void padRight()
    {
        QCOMPARE(PadRight(text("123"), 8, QLatin1Char('?')), text("123?????"));
        QCOMPARE(PadRight(text("123456789"), 8, QLatin1Char('?')), text("123456789"));
        QCOMPARE(PadRight(text("12345678"), 8, QLatin1Char('?')), text("12345678"));
        QCOMPARE(PadRight(QString(), 3, FF), bytes("\xFF\xFF\xFF", 3));
        QCOMPARE(PadRight(text("AB"), 0, FF), text("AB"));
        QCOMPARE(PadRight(text("AB"), -5, FF), text("AB"));
        // A message block: WELCOME followed by 0xFF to the field width.
        const QString field = PadRight(text("WELCOME"), 16, FF) + PadRight(QString(), 16, FF);
        QCOMPARE(field, text("WELCOME") + QString(25, FF));
        QCOMPARE(field.toLatin1().size(), 32);
    }

    void digitField8_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("four digits") << text("1234") << text("1234????");
        QTest::newRow("letter ends") << text("12a4") << text("12??????");
        QTest::newRow("nine digits") << text("123456789") << text("12345678");
        QTest::newRow("empty") << QString() << text("????????");
        QTest::newRow("dial character ends") << text("12*4") << text("12??????");
        QTest::newRow("leading blank") << text(" 12") << text("????????");
        QTest::newRow("NUL ends") << bytes("1\0" "2", 3) << text("1???????");
    }
    void digitField8()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(DigitField8(in), out);
    }

    void clampText_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::addColumn<QString>("out");
        QTest::newRow("above") << text("150") << 0 << 99 << text("99");
        QTest::newRow("below") << text("0") << 1 << 99 << text("1");
        QTest::newRow("within keeps text") << text("007") << 1 << 99 << text("007");
        QTest::newRow("negative") << text("-5") << 0 << 99 << text("0");
        QTest::newRow("ring count 40") << text("40") << 1 << 35 << text("35");
        QTest::newRow("ring count 1") << text("1") << 1 << 35 << text("1");
        QTest::newRow("no-answer 5") << text("5") << 10 << 99 << text("10");
        QTest::newRow("mic -3") << text("-3") << 0 << 15 << text("0");
        QTest::newRow("07 as typed") << text("07") << 1 << 99 << text("07");
        QTest::newRow("upper bound kept") << text("99") << 1 << 99 << text("99");
        QTest::newRow("lower bound kept") << text("1") << 1 << 99 << text("1");
        QTest::newRow("leading blank kept") << text(" 7") << 1 << 99 << text(" 7");
        // Upper bound first, then the lower bound decides.
        QTest::newRow("crossed bounds") << text("5") << 10 << 3 << text("10");
    }
    void clampText()
    {
        QFETCH(QString, in);
        QFETCH(int, low);
        QFETCH(int, high);
        QFETCH(QString, out);
        QCOMPARE(ClampText(in, low, high), out);
    }
};

QTEST_GUILESS_MAIN(TestEncodings)
#include "tst_encodings.moc"
