#include "events/eventfile.h"

#include "common/errors.h"
#include "records/csvtext.h"

#include <QDir>
#include <QSaveFile>

namespace {
QString shown(const QString &path) { return QDir::toNativeSeparators(path); }
} // namespace

QByteArray EventFileHeader(const EventFileTimes &times)
{
    const QString text = QStringLiteral("Ostiarin time when saved was: ") + times.unitTime + QStringLiteral("  ")
                         + times.unitDate + QStringLiteral("\r\n") + QStringLiteral("Current time when Loaded was: ")
                         + times.pcTime + QStringLiteral("  ") + times.pcDate + QStringLiteral("\r\n");
    return text.toLatin1();
}

QByteArray EventFileText(const EventFileTimes &times, const RecordTable &table)
{
    return EventFileHeader(times) + SaveCsvText(table, CsvQuoting::Never);
}

void WriteEventFile(const QString &path, const EventFileTimes &times, const RecordTable &table)
{
    const QByteArray bytes = EventFileText(times, table);
    QSaveFile file(path);
    // Where the folder does not let files be replaced (a share), write in place.
    file.setDirectWriteFallback(true);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2")
                           .arg(shown(path), path.isEmpty() ? QStringLiteral("No file name given.") : file.errorString()));
    // The write only fills a buffer and commit() renames the file into place
    // even when emptying that buffer failed (a full disk): the flush is
    // what says whether every byte reached the disk.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit())
        throw AppError(QStringLiteral("Cannot write file \"%1\". %2").arg(shown(path), file.errorString()));
}
