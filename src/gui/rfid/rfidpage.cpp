#include "rfid/rfidpage.h"

#include "common/pagehost.h"
#include "common/workspacehooks.h"
#include "session/unitsession.h"
#include "widgets/pictures.h"
#include "widgets/transferwindow.h"
#include "common/handler.h"
#include "common/hint.h"
#include "directory/directorytable.h"
#include "link/delay.h"
#include "common/messages.h"
#include "link/logon.h"
#include "link/unitgate.h"
#include "link/unitcontract.h"
#include "records/gridbinding.h"
#include "rfid/tagcode.h"
#include "rfid/tagcodeentry.h"
#include "rfid/tagmerge.h"
#include "rfid/tagtransfer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>

namespace {
constexpr int kCaptureTicks = 20;   // seconds a capture waits for a tag
constexpr int kEditPause = 10;      // 8.64 ms around a change of the table

const QString kReady = QStringLiteral("Ready");
const QString kReadError = QStringLiteral("Read Error, Try Again");
const QString kMatchNote = QStringLiteral("Note, This record matches room ");

void colour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QPushButton *button(QWidget *parent, const char *name, const char *caption, const QRect &geometry)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setAccessibleName(QLatin1String(caption));
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    return l;
}

// A text box with its label, which names it for screen readers.
QLineEdit *labelledBox(QWidget *parent, const char *name, const char *caption, int y)
{
    auto *l = label(parent, "", QLatin1String(caption), QRect(8, y + 3, 80, 17));
    l->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setGeometry(92, y, 150, 21);
    l->setBuddy(box);
    box->setAccessibleName(QLatin1String(caption));
    return box;
}

} // namespace

RfidPage::RfidPage(PageHost &host, QWidget *tab) : QObject(tab), m_host(host), m_tab(tab), m_pause([](int units) { Delay(units); })
{
    buildControls();

    LinkController &link = host.linkController();
    for (QPushButton *b : {download_id, writeall_id, Get_ID})
        link.addSecondGroup(b);

    connectHandler(download_id, &QPushButton::clicked, this, [this] { download_idClick(); });
    connectHandler(writeall_id, &QPushButton::clicked, this, [this] { writeall_idClick(); });
    connectHandler(Get_ID, &QPushButton::clicked, this, [this] { Get_IDClick(); });
    connectHandler(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectHandler(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connectHandler(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connectHandler(rfName, &QLineEdit::textChanged, this, [this] { rfNameChange(); });
    connectHandler(&host.captureTimer(), &QTimer::timeout, this, [this] { Timer3Timer(); });
    connect(&host.session().DirectoryTable, &RecordTable::afterScroll, this, [this] {
        if (m_host.session().FollowCursor)
            showCurrentRecord();
    });

    host.workspaceHooks().clearRfidNotes = [this] { clearNotes(); };
}

void RfidPage::buildControls()
{
    QWidget *page = m_tab;

    DBGrid3 = new QTableView(page);
    DBGrid3->setObjectName(QStringLiteral("DBGrid3"));
    DBGrid3->setGeometry(8, 8, 372, 400);
    DBGrid3->setAccessibleName(QStringLiteral("RFID tags"));
    DBGrid3->setTabKeyNavigation(false);
    DBGrid3->horizontalHeader()->setAccessibleName(QStringLiteral("RFID tags titles"));
    DBGrid3->verticalHeader()->setAccessibleName(QStringLiteral("RFID tags record indicator"));
    DBGrid3->setCornerButtonEnabled(false);
    if (auto *corner = DBGrid3->findChild<QAbstractButton *>())
        corner->setAccessibleName(QStringLiteral("RFID tags corner"));
    BindGrid(DBGrid3, m_host.session().DirectoryTable);

    const int x = 400;
    download_id = button(page, "download_id", "DownLoad", QRect(x, 16, 90, 27));
    SetHint(download_id, QStringLiteral("Get data from Ostiarin"));
    auto *getLabel = label(page, "Label1", QStringLiteral("Get data from Ostiarin"), QRect(x + 100, 21, 200, 17));
    colour(getLabel, QColor(0, 128, 0));
    writeall_id = button(page, "writeall_id", "Write All", QRect(x, 52, 90, 27));
    SetHint(writeall_id, QStringLiteral("Erase all RFID's in Ostiarin and replace it with this data"));
    auto *writeLabel = label(page, "Label2", QStringLiteral("Replace data in Ostiarin"), QRect(x + 100, 57, 200, 17));
    colour(writeLabel, QColor(0, 128, 0));

    auto *panel = new QFrame(page);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(x, 100, 370, 170);
    rfName = labelledBox(panel, "rfName", "Name", 10);
    rfName->setReadOnly(true);
    rfRoom = labelledBox(panel, "rfRoom", "Room", 40);
    rfRoom->setReadOnly(true);
    rfID = labelledBox(panel, "rfID", "RF-ID code", 70);
    rfID->setMaxLength(TagCode::kLength);
    Button1 = button(panel, "Button1", "Up Date", QRect(260, 8, 90, 27));
    SetHint(Button1, QStringLiteral("save this code to the database"));
    Button2 = button(panel, "Button2", "Del", QRect(260, 42, 90, 27));
    Lc_exist = label(panel, "Lc_exist", QStringLiteral("NOTE: this Matches Room "), QRect(8, 110, 350, 17));
    colour(Lc_exist, QColor(255, 0, 0));
    Lc_exist->hide();

    Get_ID = button(page, "Get_ID", "Get_RFID", QRect(x, 290, 90, 27));
    SetHint(Get_ID, QStringLiteral("Read in RFID from Ostiarin"));
    ProgressBar1 = new QProgressBar(page);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(x + 100, 294, 150, 18);
    ProgressBar1->setRange(0, kCaptureTicks);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Capture time left"));
    iderror = label(page, "iderror", QStringLiteral("iderror"), QRect(x + 100, 320, 250, 17));

    Button3 = button(page, "Button3", "erase", QRect(x, 330, 90, 27));
    Button3->hide();

    auto *corner = label(page, "Label3", QStringLiteral("RFID Setup"), QRect(680, 390, 90, 17));
    corner->setEnabled(false);
}

void RfidPage::setTransferPause(std::function<void(int)> pause) { m_pause = std::move(pause); }

TagTransferHooks RfidPage::transferHooks() const
{
    TagTransferHooks hooks;
    hooks.pause = m_pause;
    hooks.linkUp = [this] { return m_host.session().Link.LoggedOn; };
    hooks.defineTable = [this] {
        RecordTable &table = m_host.session().DirectoryTable;
        DefineDirectoryTable(table);
        table.open();
        table.empty();
        if (m_host.workspaceHooks().layoutDirectoryGrids)
            m_host.workspaceHooks().layoutDirectoryGrids();
    };
    hooks.phoneListChanged = [this] {
        m_host.offerPhoneListSave();
    };
    return hooks;
}

void RfidPage::clearNotes()
{
    iderror->clear();
    Lc_exist->hide();
}

void RfidPage::showCurrentRecord()
{
    const RecordTable &table = m_host.session().DirectoryTable;
    auto value = [&table](const QString &field) {
        const int index = table.findField(field);
        return index < 0 ? QString() : table.value(index);
    };
    rfName->setText(value(DirectoryFields::Name));
    rfRoom->setText(value(DirectoryFields::RoomNumber));
    rfID->setText(value(DirectoryFields::RFID));
}

void RfidPage::download_idClick() { m_host.session().download_idClick(transferHooks()); }

void RfidPage::writeall_idClick() { m_host.session().writeall_idClick(transferHooks()); }

void RfidPage::Get_IDClick()
{
    // The capture holds the gate from the click to its end (a click on it
    // again restarts it): another operation's replies would pass for the
    // reader's line.
    if (!m_capturing) {
        if (!m_host.session().Channel.Gate.tryBegin(QStringLiteral("Get_RFID")))
            return;
        m_capturing = true;
        // The keep-alive rests meanwhile: its clearing of the receive log
        // could wipe the reader's line before it is judged, and its answer
        // would be judged as one.
        m_host.session().KeepAliveTimer.stop();
    }
    ProgressBar1->setValue(kCaptureTicks);
    m_host.session().RxLog.clear();
    iderror->setText(kReady);
    rfID->clear();
    m_host.session().Channel.DataReceived = false;
    m_host.captureTimer().start();
    Lc_exist->hide();
}

void RfidPage::endCapture()
{
    m_host.captureTimer().stop();
    if (!m_capturing)
        return;
    m_capturing = false;
    m_host.session().Channel.Gate.end();
    // A log-off meanwhile has put the keep-alive off line: it stays so.
    if (m_host.session().Link.LoggedOn)
        m_host.session().KeepAliveTimer.start();
}

void RfidPage::Timer3Timer()
{
    // The user logged off: nothing more can come from the reader.
    if (!m_host.session().Link.LoggedOn) {
        ProgressBar1->setValue(0);
        endCapture();
        return;
    }
    ProgressBar1->setValue(ProgressBar1->value() - 1);
    if (ProgressBar1->value() <= 0)
        endCapture();
    if (!m_host.session().Channel.DataReceived)
        return;
    // The reader's line may come in pieces: judge it once it is whole, while
    // the capture has time left.
    if (!m_host.session().RxLog.text().contains(QLatin1String(UnitContract::kReplyLineEnd)) && ProgressBar1->value() > 0)
        return;
    endCapture();
    ProgressBar1->setValue(0);
    const QString code = CheckTagReply(m_host.session().RxLog.line(0));
    if (!code.isEmpty()) {
        ShowTagMatch(code);
        rfID->setText(code);
    } else {
        iderror->setText(kReadError);
    }
    QApplication::beep();
}

void RfidPage::ShowTagMatch(const QString &code)
{
    // Looked up without moving the cursor, which stays on the record the
    // user chose.
    const RecordTable &table = m_host.session().DirectoryTable;
    const int row = FindTagHolder(table, code);
    if (row < 0)
        return;
    const int room = table.findField(DirectoryFields::RoomNumber);
    Lc_exist->setText(kMatchNote + table.storedValue(row, room));
    Lc_exist->show();
}

void RfidPage::Button1Click()
{
    if (m_host.session().BulkBusy)
        return;
    // Stored as the unit keeps it; a character it would drop is refused
    // here rather than lost on the unit.
    const QString code = NormalTagCode(rfID->text());
    if (!IsHexTagCode(code)) {
        MessageService::inform(NotHexTagCodeText(code));
        return;
    }
    rfID->setText(code);
    RecordTable &table = m_host.session().DirectoryTable;
    m_host.session().FollowCursor = false;
    auto follow = qScopeGuard([this] { m_host.session().FollowCursor = true; });
    table.edit();
    table.setValue(DirectoryFields::RFID, code);
    Delay(kEditPause);
    table.store();
    Delay(kEditPause);
    follow.dismiss();
    m_host.session().FollowCursor = true;
    Lc_exist->hide();
}

void RfidPage::Button2Click()
{
    if (m_host.session().BulkBusy)
        return;
    RecordTable &table = m_host.session().DirectoryTable;
    m_host.session().FollowCursor = false;
    auto restore = qScopeGuard([this] {
        // Allowed for this one deletion only, also when it did not happen.
        m_host.session().DeleteAllowed = false;
        m_host.session().FollowCursor = true;
    });
    table.edit();
    m_host.session().DeleteAllowed = true;
    table.deleteRecord();
    Delay(kEditPause);
    restore.dismiss();
    m_host.session().DeleteAllowed = false;
    m_host.session().FollowCursor = true;
    // The boxes still show the deleted record: show the one under the
    // cursor now, so that a following Up Date cannot give its code to
    // another resident.
    if (table.recNo() > 0)
        table.moveTo(table.recNo());
    else
        showCurrentRecord();
    Lc_exist->hide();
}

void RfidPage::Button3Click()
{
    const UnitOperation op(m_host.session().Channel.Gate, QStringLiteral("Erase"));
    if (!op)
        return;
    m_host.session().Channel.SendCommand(UnitContract::TagEraseCommand());
}

void RfidPage::rfNameChange() { Lc_exist->hide(); }
