#pragma once

#include <QString>

#include <functional>

class QColor;

// Steps of the workspace reset and of the page switches that belong to other
// parts of the program.  Each part installs its own step when it is built; an
// empty step does nothing.
struct WorkspaceHooks {
    std::function<void()> defineDirectoryTable; // define the directory's fields, open and empty it
    std::function<void()> layoutDirectoryGrids;
    std::function<void()> setOffline;           // log off and put every control off line
    std::function<void()> listSerialPorts;
    std::function<QString()> loadLinkDetails;   // the remembered port
    std::function<void(const QString &)> preselectPort;
    std::function<void()> logOff;
    std::function<bool()> loggedOn;
    // Messages, all settings, access PINs; true when all three reads ran to
    // their end (a stopped read is tried again at the next showing).
    std::function<bool()> readSettingsFirstTime;
    std::function<void()> focusNameField;
    std::function<void()> clearRfidNotes;        // error label and match note of the tag page
    std::function<void(bool)> writeEachChangeEnabled;

    // File commands: each page plugs in its branch (see FileOpen1Execute,
    // FileSave1Execute, SaveAsClick); an empty branch does nothing.
    std::function<void()> openDirectoryFile;   // Open on the phone-list page
    std::function<void()> saveDirectoryFile;   // Save, whatever page is shown
    std::function<void()> saveDirectoryFileAs; // Save As on the phone-list page
    std::function<void()> openSettingsFile;    // Open on the settings page
    std::function<void()> saveSettingsFileAs;  // Save As on the settings page
    std::function<void()> saveEventFileAs;     // Save As on the events page

    // The "Use Global Gate Codes" option colours the phone list's code
    // columns: the settings page refreshes, the phone-list page paints
    // (olive text and grey titles while the option is ticked; an invalid
    // colour brings the standard colours back).
    std::function<void()> refreshGlobalCodes;
    std::function<void(const QColor &)> setCodeColumnsColour;
};
