#pragma once

#include <QString>
#include <functional>

class QWidget;

// The one open dialog and the one save dialog of the program.  Every use
// gives the default extension, the proposed name and the filter first; a
// test replaces the dialogs with a handler that answers them.
class FileDialogService {
public:
    enum class Kind { Open, Save };

    struct Request {
        Kind kind;
        QString defaultExtension; // "csv", "Sys", "Evt": added to a typed name without one
        QString proposedName;     // may be empty
        QString filter;           // "Description|*.ext|All Files (*.*)|*.*"
    };

    // The chosen path, or an empty text when the user cancelled.
    static QString askOpen(const QString &defaultExtension, const QString &proposedName, const QString &filter);
    // Asks before an existing file is replaced.
    static QString askSave(const QString &defaultExtension, const QString &proposedName, const QString &filter);

    // The last request made (tests read it).
    static Request lastRequest();

    using Handler = std::function<QString(const Request &)>;
    static void setHandler(Handler handler);
    static void resetHandler();

    // "A (*.a)|*.a|B|*.b" as Qt's name filters "A (*.a) (*.a);;B (*.b)".
    static QString qtFilter(const QString &filter);
    // `path` with `.extension` added when its file name has no extension.
    static QString withDefaultExtension(const QString &path, const QString &extension);

private:
    static QString ask(const Request &request);
};
