#pragma once

#include <QObject>

class TostiForm;

// The RFID tag page: binds the rfid subsystem to its controls and installs
// its steps of the workspace reset and the File commands in the main window.
class RfidPage : public QObject {
    Q_OBJECT
public:
    explicit RfidPage(TostiForm &form);

private:
    TostiForm &m_form;
};
