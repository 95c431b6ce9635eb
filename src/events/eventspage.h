#pragma once

#include <QObject>

class TostiForm;

// The event log and clock page: binds the events subsystem to its controls and installs
// its steps of the workspace reset and the File commands in the main window.
class EventsPage : public QObject {
    Q_OBJECT
public:
    explicit EventsPage(TostiForm &form);

private:
    TostiForm &m_form;
};
