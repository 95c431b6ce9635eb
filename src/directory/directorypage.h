#pragma once

#include <QObject>

class TostiForm;

// The phone list page: binds the directory subsystem to its controls and installs
// its steps of the workspace reset and the File commands in the main window.
class DirectoryPage : public QObject {
    Q_OBJECT
public:
    explicit DirectoryPage(TostiForm &form);

private:
    TostiForm &m_form;
};
