#include "common/filedialogs.h"
#include "common/messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace {
FileDialogService::Handler &handlerSlot()
{
    static FileDialogService::Handler handler;
    return handler;
}
FileDialogService::Request &lastSlot()
{
    static FileDialogService::Request last{FileDialogService::Kind::Open, {}, {}, {}};
    return last;
}
} // namespace

QString FileDialogService::askOpen(const QString &defaultExtension, const QString &proposedName, const QString &filter)
{
    return ask({Kind::Open, defaultExtension, proposedName, filter});
}

QString FileDialogService::askSave(const QString &defaultExtension, const QString &proposedName, const QString &filter)
{
    return ask({Kind::Save, defaultExtension, proposedName, filter});
}

FileDialogService::Request FileDialogService::lastRequest() { return lastSlot(); }
void FileDialogService::setHandler(Handler handler) { handlerSlot() = std::move(handler); }
void FileDialogService::resetHandler() { handlerSlot() = nullptr; }

QString FileDialogService::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString FileDialogService::withDefaultExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty())
        return path;
    return QFileInfo(path).fileName().contains(QLatin1Char('.')) ? path : path + QLatin1Char('.') + extension;
}

QString FileDialogService::ask(const Request &request)
{
    lastSlot() = request;
    QString chosen;
    if (const Handler &handler = handlerSlot()) {
        chosen = handler(request);
    } else {
        QFileDialog dialog(nullptr);
        dialog.setAcceptMode(request.kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        // The open dialog does not insist on an existing name: a failed read
        // is reported by the command itself.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        dialog.setNameFilter(qtFilter(request.filter));
        dialog.selectFile(request.proposedName);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, request.kind == Kind::Open);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().constFirst();
    }
    return withDefaultExtension(chosen, request.defaultExtension);
}
