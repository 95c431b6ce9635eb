#pragma once

#include <QObject>

class GridBinding;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTableView;
class PageHost;
class QWidget;
struct EventFileTimes;

// The event log and clock page: binds the events subsystem to its controls and installs
// its steps of the workspace reset and the File commands in the main window.
class EventsPage : public QObject {
    Q_OBJECT
public:
    EventsPage(PageHost &host, QWidget *tab);

    // --- handlers ---
    void dnLoadClick();
    void Set_timeClick();
    void DBGrid2TitleClick(int column);
    void EventTableAfterScroll();
    // Save As while the Events page is shown.
    void SaveEventFileAs();

    // The clocks as the page shows them (what the event file's first lines carry).
    EventFileTimes shownTimes() const;

    // --- controls ---
    QTableView *DBGrid2 = nullptr;
    QGroupBox *EventDetails = nullptr;
    QLineEdit *E_Numb = nullptr;
    QLineEdit *E_Room = nullptr;
    QLineEdit *E_Client = nullptr;
    QLineEdit *E_relay = nullptr;
    QLineEdit *E_source = nullptr;
    QLineEdit *E_time = nullptr;
    QLineEdit *E_date = nullptr;
    QGroupBox *TimeGroup = nullptr;
    QLineEdit *Stime = nullptr;
    QLineEdit *Sdate = nullptr;
    QLineEdit *Ctime = nullptr;
    QLineEdit *Cdate = nullptr;
    QPushButton *dnLoad = nullptr;
    QPushButton *Set_time = nullptr;

private:
    void buildGrid();
    void buildDetails();
    void buildClock();
    void buildButtons();
    void layoutGrid(bool afterDownload);

    PageHost &m_host;
    QWidget *m_tab;
    GridBinding *m_binding = nullptr;
};
