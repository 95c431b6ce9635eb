#pragma once

#include "directory/recordediting.h"
#include "records/recordnavigator.h"

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class PageHost;

// The record editor on the phone-list page: five boxes for the record under
// the directory table's cursor, Insert, OK and Undo, the navigator, "Write
// Each Change" and the record counter.  OK stores the boxes in the table (a
// new record gets the lowest free address) and, while the table is in step
// with a logged-on unit and "Write Each Change" is ticked, writes the record
// to its slot at once.
class RecordEditor : public QObject {
    Q_OBJECT
public:
    // Builds the controls on `page` with their top left corner at `origin`.
    RecordEditor(PageHost &host, QWidget *page, QPoint origin);

    // --- controls ---
    QLabel *NameLabel = nullptr;
    QLineEdit *Namef = nullptr;
    QLabel *RoomLabel = nullptr;
    QLineEdit *RoomNumber = nullptr;
    QLabel *PhoneLabel = nullptr;
    QLineEdit *PHnumber = nullptr;
    QLabel *CodesLabel = nullptr;
    QLineEdit *Code1 = nullptr;
    QLineEdit *Code2 = nullptr;
    QLineEdit *Spare = nullptr; // hidden: carries the record's spare digits
    QPushButton *NavInst = nullptr;
    QPushButton *NavOk = nullptr;
    QPushButton *Undo = nullptr;
    RecordNavigator *DBNavigator1 = nullptr;
    QCheckBox *WrtChg = nullptr;
    QLabel *RecordLabel = nullptr;
    QLabel *recordno = nullptr;
    QLabel *OfLabel = nullptr;
    QLabel *totrec = nullptr;

    // The rectangle the editor's controls take on the page.
    QRect area() const { return m_area; }

    // --- handlers ---
    // The table's after-scroll handling: the boxes show the current record.
    void ShowCurrentRecord();
    void UpdateRecordButtons();
    void NavOkClick();
    void NavInstClick();
    void UndoClick();
    bool DBNavigator1BeforeAction(RecordNavigator::Button button);
    void PHnumberMouseMove();
    // Enter in one of the boxes (after the box's checks, the focus moves on).
    void NamefEnter();
    void RoomNumberEnter();
    void FocusNextFrom(QWidget *box);

    // "Write Each Change" follows the directory's in-step flag.
    void setWriteEachChangeEnabled(bool enabled);
    EditorTexts texts() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build(QWidget *page, QPoint origin);
    void storeBoxes();
    bool refuseWideCharacters(const EditorTexts &texts);
    bool deleteCurrentRecord();
    // Logged on, "Write Each Change" ticked and the table in step: a stored
    // change goes to the unit.
    bool writesEachChange() const;
    bool writeRecord(const QString &address, const QString &recordText);
    int liftRelayTime() const;

    PageHost &m_host;
    QRect m_area;
    // The phone box's text as last changed, and before that change.
    QString m_phoneText;
    QString m_phoneBefore;
};
