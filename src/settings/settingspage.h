#pragma once

#include <QObject>

class TostiForm;

// The settings page: binds the settings subsystem to its controls and installs
// its steps of the workspace reset and the File commands in the main window.
class SettingsPage : public QObject {
    Q_OBJECT
public:
    explicit SettingsPage(TostiForm &form);

private:
    TostiForm &m_form;
};
