#pragma once

#include <QObject>

#include <functional>

class PageHost;
class QWidget;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
struct TagTransferHooks;

// The RFID tag page: the tag list of the directory, the download and the
// write-all of the unit's tag table, and the capture of a tag held to the
// unit's reader.  It binds the rfid subsystem to its controls and installs
// its steps in the main window.
class RfidPage : public QObject {
    Q_OBJECT
public:
    RfidPage(PageHost &host, QWidget *tab);

    // --- controls (on the main window's RFid_SU page) ---
    QTableView *DBGrid3 = nullptr;
    QLineEdit *rfName = nullptr;
    QLineEdit *rfRoom = nullptr;
    QLineEdit *rfID = nullptr;
    QPushButton *Button1 = nullptr; // "Up Date"
    QPushButton *Button2 = nullptr; // "Del"
    QPushButton *Button3 = nullptr; // "erase", hidden
    QLabel *Lc_exist = nullptr;
    QPushButton *Get_ID = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *iderror = nullptr;
    QPushButton *download_id = nullptr;
    QPushButton *writeall_id = nullptr;

    // --- handlers ---
    void download_idClick();
    void writeall_idClick();
    void Get_IDClick();
    void Timer3Timer();
    void ShowTagMatch(const QString &code);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void rfNameChange();

    // The pauses of the download and the write-all (Delay by default).  A
    // test that checks what reaches the unit rather than how long it takes
    // may shorten them; the waits for the unit's replies stay as they are.
    void setTransferPause(std::function<void(int)> pause);

private:
    void buildControls();
    void clearNotes();
    void showCurrentRecord();
    // Ends a capture: its timer stops, the gate is given back, the
    // keep-alive runs again while on line.
    void endCapture();
    TagTransferHooks transferHooks() const;

    PageHost &m_host;
    QWidget *m_tab;
    std::function<void(int)> m_pause;
    bool m_capturing = false; // a capture holds the unit's gate
};
