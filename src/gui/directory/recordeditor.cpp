#include "directory/recordeditor.h"

#include "common/pagehost.h"
#include "session/unitsession.h"
#include "common/convert.h"
#include "common/handler.h"
#include "common/hint.h"
#include "common/messages.h"
#include "directory/directoryrecord.h"
#include "directory/directorytable.h"
#include "link/delay.h"
#include "link/logon.h"
#include "link/unitgate.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <optional>

using namespace DirectoryFields;

namespace {
// The short pauses around storing a record and refreshing the boxes.
constexpr int kSettle = 10;

const QString kNameRule = QStringLiteral("must enter a name or number\r\n"
                                         "without a space as a first character\r\n"
                                         "start characters may be:\r\n"
                                         " A-Z or a-z or 0-9");
const QString kLiftHint =
    QStringLiteral("NOTE! First 2 digits = Lift number|Set the first 2 digits to the Lift number");

// Sets a box's text without its change handling (filling the boxes from a
// record is not the user's change).
void setBoxText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// Restores FollowCursor when a handler is abandoned by an error half-way.
struct FollowCursorGuard {
    bool &flag;
    bool done = false;
    ~FollowCursorGuard()
    {
        if (!done)
            flag = true;
    }
};
} // namespace

RecordEditor::RecordEditor(PageHost &host, QWidget *page, QPoint origin) : QObject(page), m_host(host)
{
    build(page, origin);

    RecordTable &table = m_host.session().DirectoryTable;
    connect(&table, &RecordTable::afterScroll, this, [this] { guarded([this] { ShowCurrentRecord(); }); });
    for (QLineEdit *box : {Namef, RoomNumber, PHnumber, Code1, Code2})
        connect(box, &QLineEdit::textChanged, this, [this] { UpdateRecordButtons(); });
    // Pasted text obeys the phone box's key rule too.  Only what the edit
    // brought in is filtered: text already in the box (the lift reminder
    // "xx", a stored number) stays as it is.
    connect(PHnumber, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_phoneBefore = m_phoneText;
        m_phoneText = text;
    });
    connect(PHnumber, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Whichever of the two signals comes first.
        const QString before = m_phoneText == text ? m_phoneBefore : m_phoneText;
        qsizetype head = 0;
        while (head < before.size() && head < text.size() && before.at(head) == text.at(head))
            ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < text.size() - head
               && before.at(before.size() - 1 - tail) == text.at(text.size() - 1 - tail))
            ++tail;
        const QString added = text.mid(head, text.size() - head - tail);
        QString kept;
        for (QChar c : added)
            if (IsPhoneCharacter(c))
                kept += c;
        if (kept != added) {
            const int cursor = PHnumber->cursorPosition() - int(added.size() - kept.size());
            PHnumber->setText(text.left(head) + kept + text.right(tail));
            PHnumber->setCursorPosition(qMax(0, cursor));
        }
    });
    connectHandler(NavOk, &QPushButton::clicked, this, [this] { NavOkClick(); });
    connectHandler(NavInst, &QPushButton::clicked, this, [this] { NavInstClick(); });
    connectHandler(Undo, &QPushButton::clicked, this, [this] { UndoClick(); });
    DBNavigator1->setBeforeAction([this](RecordNavigator::Button b) { return DBNavigator1BeforeAction(b); });
}

void RecordEditor::build(QWidget *page, QPoint origin)
{
    const int x = origin.x();
    const int y = origin.y();
    constexpr int kLabelWidth = 44;
    constexpr int kBoxX = 48;
    constexpr int kRow = 28;
    constexpr int kBoxHeight = 22;
    constexpr int kColumnWidth = 228;

    auto box = [&](QLineEdit *&edit, QLabel *&label, const char *name, const char *caption, int row, int width,
                   int limit, const QString &hint) {
        edit = new QLineEdit(page);
        edit->setObjectName(QLatin1String(name));
        edit->setGeometry(x + kBoxX, y + row * kRow, width, kBoxHeight);
        edit->setMaxLength(limit);
        SetHint(edit, hint);
        edit->installEventFilter(this);
        if (caption) {
            label = new QLabel(QLatin1String(caption), page);
            label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
            label->setGeometry(x, y + row * kRow, kLabelWidth, kBoxHeight);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setBuddy(edit);
            edit->setAccessibleName(label->text());
        }
    };
    box(Namef, NameLabel, "Namef", "Name", 0, kColumnWidth - kBoxX, EditorLimits::NameLength,
        QStringLiteral("Client's Name|Client's Name (16 character max)"));
    box(RoomNumber, RoomLabel, "RoomNumber", "Room", 1, 70, EditorLimits::RoomLength,
        QStringLiteral("Client's Room No.|Client's Room Number (6 Digits max)"));
    box(PHnumber, PhoneLabel, "PHnumber", "Phone", 2, kColumnWidth - kBoxX, EditorLimits::PhoneLength,
        QStringLiteral("Client's Phone No.|Telephone Number (16 character max)"));
    box(Code1, CodesLabel, "Code1", "codes", 3, 50, EditorLimits::CodeLength,
        QStringLiteral("Relay 1 code|Relay 1 release Code (4 Digits Max)"));
    QLabel *none = nullptr;
    box(Code2, none, "Code2", nullptr, 3, 50, EditorLimits::CodeLength,
        QStringLiteral("Relay 2 code|Relay 2 release Code (4 Digits Max)"));
    Code2->move(Code1->geometry().right() + 7, Code1->y());
    // Two boxes share the label: each is named for its relay as well.
    Code1->setAccessibleName(QStringLiteral("codes Relay 1"));
    Code2->setAccessibleName(QStringLiteral("codes Relay 2"));
    PHnumber->setMouseTracking(true);

    Spare = new QLineEdit(page);
    Spare->setObjectName(QStringLiteral("Spare"));
    Spare->setAccessibleName(QStringLiteral("Spare"));
    Spare->setMaxLength(EditorLimits::SpareLength);
    Spare->setText(QStringLiteral("Spare"));
    Spare->hide();

    const int buttonsY = y + 4 * kRow + 8;
    auto button = [&](QPushButton *&b, const char *name, const char *caption, int column) {
        b = new QPushButton(QLatin1String(caption), page);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x + column * 78, buttonsY, 72, 26);
        b->setEnabled(false);
    };
    button(NavInst, "NavInst", "Insert", 0);
    button(NavOk, "NavOk", "OK", 1);
    button(Undo, "Undo", "Undo", 2);
    NavInst->setToolTip(QStringLiteral("Store the boxes as a new record"));
    NavOk->setToolTip(QStringLiteral("Store the record"));
    Undo->setToolTip(QStringLiteral("Show the stored record again"));

    DBNavigator1 = new RecordNavigator(m_host.session().DirectoryTable, page);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(QRect(QPoint(x, buttonsY + 34), DBNavigator1->sizeHint()));

    WrtChg = new QCheckBox(QStringLiteral("Write Each Change"), page);
    WrtChg->setObjectName(QStringLiteral("WrtChg"));
    WrtChg->setGeometry(x, DBNavigator1->geometry().bottom() + 8, 200, 22);
    WrtChg->setChecked(true);
    WrtChg->setEnabled(false);

    // "Record # 12 of 40": the labels flow with the numbers' widths.
    auto *counter = new QWidget(page);
    counter->setObjectName(QStringLiteral("RecordCounter"));
    auto *row = new QHBoxLayout(counter);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    auto label = [&](QLabel *&l, const char *name, const QString &text) {
        l = new QLabel(text, counter);
        l->setObjectName(QLatin1String(name));
        row->addWidget(l);
    };
    label(RecordLabel, "Label5", QStringLiteral("Record #"));
    label(recordno, "recordno", QStringLiteral("100"));
    label(OfLabel, "Label6", QStringLiteral("of"));
    label(totrec, "totrec", QStringLiteral("100"));
    row->addStretch(1);
    counter->setGeometry(x, WrtChg->geometry().bottom() + 6, kColumnWidth, 20);

    m_area = QRect(x, y, kColumnWidth, counter->geometry().bottom() - y + 1);
}

EditorTexts RecordEditor::texts() const
{
    return {Namef->text(), RoomNumber->text(), PHnumber->text(), Code1->text(), Code2->text(), Spare->text()};
}

void RecordEditor::setWriteEachChangeEnabled(bool enabled) { WrtChg->setEnabled(enabled); }

void RecordEditor::ShowCurrentRecord()
{
    if (!m_host.session().FollowCursor)
        return;
    // The tag page's boxes follow the cursor through their own page.
    const RecordTable &table = m_host.session().DirectoryTable;
    setBoxText(RoomNumber, table.value(DirectoryFields::RoomNumber));
    setBoxText(Namef, table.value(Name));
    setBoxText(PHnumber, table.value(DirectoryFields::PHnumber));
    setBoxText(Code1, table.value(DirectoryFields::Code1));
    setBoxText(Code2, table.value(DirectoryFields::Code2));
    setBoxText(Spare, table.value(DirectoryFields::Spare));
    NavInst->setEnabled(false);
    NavOk->setEnabled(false);
    Undo->setEnabled(false);
    recordno->setText(QString::number(table.recNo()));
    totrec->setText(QString::number(table.recordCount()));
}

void RecordEditor::UpdateRecordButtons()
{
    if (m_host.session().DirectoryTable.isOpen() && !Namef->text().isEmpty() && !RoomNumber->text().isEmpty()) {
        NavInst->setEnabled(true);
        NavOk->setEnabled(true);
        Undo->setEnabled(true);
    }
}

bool RecordEditor::refuseWideCharacters(const EditorTexts &boxes)
{
    if (const auto wide = FirstWideCharacter(boxes)) {
        MessageService::inform(WideCharacterMessage(*wide));
        return true;
    }
    return false;
}

bool RecordEditor::writeRecord(const QString &address, const QString &recordText)
{
    return WriteDirectoryRecord(m_host.session().Channel, address, recordText);
}

void RecordEditor::NavOkClick()
{
    RecordTable &table = m_host.session().DirectoryTable;
    if (m_host.session().BulkBusy) {
        // A bulk operation owns the table meanwhile.
        Namef->setFocus();
        return;
    }
    if (NavOk->isEnabled()) {
        const EditorTexts boxes = texts();
        if (refuseWideCharacters(boxes) || !EditorTextsAcceptable(boxes))
            return;
        // Writing the record is an operation on the unit: while another one
        // runs (on any page) OK does nothing, and the boxes keep their text.
        std::optional<UnitOperation> op;
        if (writesEachChange()) {
            op.emplace(m_host.session().Channel.Gate, QStringLiteral("Write record"));
            if (!*op) {
                Namef->setFocus();
                return;
            }
        }
        FollowCursorGuard restore{m_host.session().FollowCursor};
        m_host.session().FollowCursor = false;
        const int r = table.recNo();

        // Rooms are stored without the blanks around them.
        const int sameRoom = FindRoomRecord(table, TrimBlanks(boxes.room));
        if (sameRoom > 0 && sameRoom != r && !MessageService::ask(QStringLiteral("RoomNumber exist, Continue?"))) {
            if (r > 0)
                table.moveTo(r);
            m_host.session().FollowCursor = true;
            restore.done = true;
            return;
        }
        if (r < 0 && table.recordCount() >= EditorLimits::MaxRecords) {
            MessageService::inform(QStringLiteral("Phone list limit=1000 max."));
            m_host.session().FollowCursor = true;
            restore.done = true;
            return;
        }
        QString newAddress;
        if (r < 0) {
            newAddress = FindFreeAddress(table, m_host.session().Link.DirectoryEndAddress);
            if (newAddress == kNoFreeAddress) {
                MessageService::inform(QStringLiteral("Could Not Assign a new addr"));
                m_host.session().FollowCursor = true;
                restore.done = true;
                return;
            }
            table.append();
        } else {
            table.moveTo(r);
            table.edit();
        }
        SetEditorValues(table, boxes, ValidateRoomNumber(boxes.room));
        if (r < 0)
            table.setValue(Addr, newAddress);
        const QString writeAddress = table.value(Addr);
        Delay(kSettle);
        // The cursor follows the stored record, also when a sort moves it.
        table.store();
        Delay(kSettle);

        // A room with no digit to send has had its message: the unit is not
        // given a record it would keep with an empty room.
        if (op) {
            if (const std::optional<QString> text = EditorRecordText(boxes)) {
                if (!writeRecord(writeAddress, *text) && !writeRecord(writeAddress, *text))
                    MessageService::inform(QStringLiteral("Failed to Write"));
            }
            op->release();
        }

        Undo->setEnabled(false);
        NavOk->setEnabled(false);
        NavInst->setEnabled(false);
        m_host.session().FollowCursor = true;
        restore.done = true;
        Delay(kSettle);
        ShowCurrentRecord();
        Delay(kSettle);
    }
    // The last record stored: offer an empty one for the next entry.
    if (table.isOpen() && table.recNo() > 0 && table.recNo() < EditorLimits::MaxRecords
        && table.recNo() == table.recordCount())
        table.append();
    Namef->setFocus();
}

void RecordEditor::NavInstClick()
{
    RecordTable &table = m_host.session().DirectoryTable;
    const EditorTexts boxes = texts();
    if (m_host.session().BulkBusy || !table.isOpen() || (writesEachChange() && m_host.session().Channel.Gate.busy())
        || refuseWideCharacters(boxes) || !EditorTextsAcceptable(boxes))
        return;
    table.insert();
    Namef->setText(boxes.name);
    RoomNumber->setText(boxes.room);
    PHnumber->setText(boxes.phone);
    Code1->setText(boxes.code1);
    Code2->setText(boxes.code2);
    Spare->setText(boxes.spare);
    NavOkClick();
}

void RecordEditor::UndoClick()
{
    ShowCurrentRecord();
    Undo->setEnabled(false);
}

bool RecordEditor::writesEachChange() const
{
    return m_host.session().Link.LoggedOn && WrtChg->isChecked() && m_host.session().DirectoryInSync;
}

bool RecordEditor::deleteCurrentRecord()
{
    RecordTable &table = m_host.session().DirectoryTable;
    const QString address = table.value(Addr);
    // Only a table in step with the unit names the unit's slots: a record
    // from a file may share its address with another resident in the unit.
    const bool writes = !address.isEmpty() && writesEachChange();
    // Emptying the slot is an operation on the unit: none while another runs.
    std::optional<UnitOperation> op;
    if (writes) {
        op.emplace(m_host.session().Channel.Gate, QStringLiteral("Delete record"));
        if (!*op)
            return false;
    }
    if (!MessageService::ask(QStringLiteral("Erase Current record"))) {
        m_host.session().DeleteAllowed = false;
        return false;
    }
    m_host.session().DeleteAllowed = true;
    bool written = true;
    if (writes) {
        try {
            written = writeRecord(address, QString());
        } catch (...) {
            m_host.session().DeleteAllowed = false;
            throw;
        }
    }
    table.deleteRecord();
    m_host.session().DeleteAllowed = false;
    if (!written)
        MessageService::inform(QStringLiteral("Failed to Write"));
    return false; // done here
}

bool RecordEditor::DBNavigator1BeforeAction(RecordNavigator::Button button)
{
    // A bulk operation walks the table: no button may move its cursor or
    // change a record meanwhile.
    if (m_host.session().BulkBusy)
        return false;
    switch (button) {
    case RecordNavigator::Button::Insert:
        Namef->setFocus();
        return true;
    case RecordNavigator::Button::Delete:
        return deleteCurrentRecord();
    case RecordNavigator::Button::Refresh:
        ShowCurrentRecord();
        return true;
    default:
        return true;
    }
}

int RecordEditor::liftRelayTime() const
{
    int minutes = 0;
    if (!TryStrToInt(m_host.liftRelayText(), minutes))
        return 0; // no lift time set: no note
    return minutes;
}

void RecordEditor::PHnumberMouseMove()
{
    if (liftRelayTime() <= 0)
        return;
    SetHint(PHnumber, kLiftHint);
    if (PHnumber->text().isEmpty())
        PHnumber->setText(QStringLiteral("xx"));
}

void RecordEditor::FocusNextFrom(QWidget *box)
{
    for (QWidget *w = box->nextInFocusChain(); w && w != box; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible()
            && w->window() == box->window()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void RecordEditor::NamefEnter()
{
    Namef->setText(TrimLeadingSpaces(Namef->text()));
    if (!NameStartAcceptable(Namef->text())) {
        MessageService::inform(kNameRule);
        Namef->selectAll();
        Namef->setFocus();
        return;
    }
    FocusNextFrom(Namef);
    UpdateRecordButtons();
}

void RecordEditor::RoomNumberEnter()
{
    if (RoomNumber->text().isEmpty()) {
        MessageService::inform(QStringLiteral("Must enter a number"));
    } else {
        FocusNextFrom(RoomNumber);
        UpdateRecordButtons();
    }
    RoomNumber->setText(TrimLeadingSpaces(RoomNumber->text()));
    if (!IsRoomNumberText(RoomNumber->text())) {
        MessageService::inform(QStringLiteral("Must enter a number"));
        RoomNumber->selectAll();
    }
}

bool RecordEditor::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove && box == PHnumber) {
        guarded([this] { PHnumberMouseMove(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        guarded([this, box] {
            if (box == Namef)
                NamefEnter();
            else if (box == RoomNumber)
                RoomNumberEnter();
            else
                FocusNextFrom(box);
        });
        return true;
    }
    if (box == PHnumber) {
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            for (QChar c : text)
                if (!IsPhoneCharacter(c))
                    return true; // discarded
        }
    }
    return QObject::eventFilter(watched, event);
}
