#include "directory/directoryfile.h"

#include "common/errors.h"
#include "records/csvtext.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {
QString shown(const QString &path) { return QDir::toNativeSeparators(path); }
} // namespace

void SaveDirectoryFile(const RecordTable &table, const QString &path)
{
    const QByteArray bytes = SaveCsvText(table);
    QSaveFile file(path);
    // Without a folder it may not replace files in (a share, a shortcut),
    // write in place rather than not at all.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Cannot create file \"%1\". %2").arg(shown(path), file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
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
    return bytes;
}

int FillDirectoryTable(RecordTable &table, const QByteArray &bytes) { return LoadCsvText(table, bytes); }

int LoadDirectoryFile(RecordTable &table, const QString &path)
{
    return FillDirectoryTable(table, ReadDirectoryFile(path));
}
