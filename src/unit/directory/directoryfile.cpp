#include "directory/directoryfile.h"

#include "common/errors.h"
#include "common/messages.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "records/csvtext.h"
#include "records/recordtable.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
QString shown(const QString &path) { return QDir::toNativeSeparators(path); }
} // namespace

QByteArray SingleByteDirectoryText(const QByteArray &bytes);

void SaveDirectoryFile(const RecordTable &table, const QString &path)
{
    const QByteArray bytes = SaveCsvText(table);
    QSaveFile file(path);
    // Without a folder it may not replace files in (a share, a shortcut),
    // write in place rather than not at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(shown(path), file.errorString()));
    // The write only fills a buffer and commit() renames the file into place
    // even when emptying that buffer failed (a full disk): the flush is
    // what says whether every byte reached the disk.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw AppError(QStringLiteral("Cannot write file \"%1\". %2").arg(shown(path), file.errorString()));
}

QByteArray ReadDirectoryFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2")
                           .arg(shown(path), path.isEmpty() ? QStringLiteral("No file name given.") : file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(shown(path), file.errorString()));
    // A UTF-8 file is turned into the table's text here, so that one it
    // cannot become is refused before anything changes.
    return SingleByteDirectoryText(bytes);
}

namespace {
const QByteArray kUtf8Mark("\xEF\xBB\xBF");
// Records named in one report of control characters, at most.
constexpr int kReportedRecords = 10;

// A file with a UTF-8 byte-order mark (what spreadsheets save as "CSV
// UTF-8") as the single-byte text the table holds.  A character the unit
// cannot hold (above U+00FF) refuses the whole file, naming its record.
QByteArray fromUtf8File(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes.mid(kUtf8Mark.size()));
    const QStringList lines = CsvLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        for (char32_t c : lines.at(i).toUcs4()) {
            if (c <= 0xFF)
                continue;
            const QString shown = QString::fromUcs4(&c, 1);
            const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
            const QString where = i == 0 ? QStringLiteral("the header line")
                                         : QStringLiteral("record %1 (\"%2\")").arg(i).arg(CsvSplitLine(lines.at(i)).value(0));
            throw AppError(QStringLiteral("The character \"%1\" (U+%2) in %3 cannot be stored:\r\n"
                                          "the Ostiarin and the phone list file hold single-byte characters only.\r\n"
                                          "Please replace it; nothing was loaded.")
                               .arg(shown, code, where));
        }
    }
    return text.toLatin1();
}

// Tells which of the records from `first` on hold a control character in a
// field that goes to the unit (the file's %c, %n and %0 can put CR, LF and
// NUL there): such a record is refused when it is to be sent.
void reportControlCharacters(const RecordTable &table, int first)
{
    using namespace DirectoryFields;
    QStringList found;
    int more = 0;
    for (int row = first; row < table.recordCount(); ++row) {
        for (const QString &field : {Name, RoomNumber, PHnumber, Code1, Code2, Spare}) {
            const int column = table.findField(field);
            if (column < 0)
                continue;
            const QString value = table.storedValue(row, column);
            if (!std::any_of(value.begin(), value.end(), isControlCharacter))
                continue;
            if (found.size() < kReportedRecords)
                found << QStringLiteral("record %1 (\"%2\"): %3")
                             .arg(row - first + 1)
                             .arg(ShownWithoutControls(table.storedValue(row, table.findField(Name))), field);
            else
                ++more;
            break;
        }
    }
    if (found.isEmpty())
        return;
    QString text = QStringLiteral("These records hold a control character, which the Ostiarin cannot take;\r\n"
                                  "they are not sent to it until it is removed:\r\n")
                   + found.join(QStringLiteral("\r\n"));
    if (more > 0)
        text += QStringLiteral("\r\nand %1 more").arg(more);
    MessageService::inform(text);
}
} // namespace

QByteArray SingleByteDirectoryText(const QByteArray &bytes)
{
    return bytes.startsWith(kUtf8Mark) ? fromUtf8File(bytes) : bytes;
}

int FillDirectoryTable(RecordTable &table, const QByteArray &bytes)
{
    const int first = table.recordCount();
    const int appended = LoadCsvText(table, SingleByteDirectoryText(bytes));
    reportControlCharacters(table, first);
    return appended;
}

int LoadDirectoryFile(RecordTable &table, const QString &path)
{
    return FillDirectoryTable(table, ReadDirectoryFile(path));
}
