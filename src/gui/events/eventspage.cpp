#include "events/eventspage.h"

#include "common/pagehost.h"
#include "common/workspacehooks.h"
#include "widgets/pictures.h"
#include "session/unitsession.h"
#include "common/filedialogs.h"
#include "common/handler.h"
#include "common/hint.h"
#include "events/eventdownload.h"
#include "events/eventfile.h"
#include "events/eventtable.h"
#include "events/unitclock.h"
#include "link/commandchannel.h"
#include "link/logon.h"
#include "link/unitgate.h"
#include "records/gridbinding.h"
#include "records/recordtable.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>

namespace {
const QString kEventFileExtension = QStringLiteral("Evt");
const QString kEventFileName = QStringLiteral("Events");
const QString kEventFileFilter = QStringLiteral("OstiarinEvents(*.Evt)|*.Evt|All Files (*.*)|*.*");

// The grid's shape after a download: the event number narrow, the source a
// little wider, and the grid as wide as its first six columns and its edge.
constexpr int kEventColumnWidth = 42;
constexpr int kSourceColumn = 5;
constexpr int kSourceExtraWidth = 5;
constexpr int kShownColumns = 6;
constexpr int kGridEdge = 39;

// The clock-set's answer is one short line: 864 ms at most.

// Characters each column shows before the download sizes the grid.
constexpr int kDisplayWidths[] = {6, EventFields::RoomNumberWidth, EventFields::DateWidth, EventFields::TimeWidth,
                                  EventFields::RlyNoWidth, EventFields::SourceWidth, EventFields::ClientWidth};

QLineEdit *box(QWidget *parent, const char *name, const QString &label, bool readOnly)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(readOnly);
    edit->setAccessibleName(label);
    return edit;
}
} // namespace

EventsPage::EventsPage(PageHost &host, QWidget *tab) : QObject(tab), m_host(host), m_tab(tab)
{
    buildGrid();
    buildDetails();
    buildClock();
    buildButtons();

    connect(&m_host.session().EventTable, &RecordTable::afterScroll, this, [this] { guarded([this] { EventTableAfterScroll(); }); });
    m_host.workspaceHooks().saveEventFileAs = [this] { SaveEventFileAs(); };
}

void EventsPage::buildGrid()
{
    QWidget *page = m_tab;
    DBGrid2 = new QTableView(page);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setAccessibleName(QStringLiteral("Events"));
    DBGrid2->setFocusPolicy(Qt::ClickFocus); // skipped by the Tab key
    DBGrid2->setGeometry(8, 8, 420, 436);
    DBGrid2->setShowGrid(true);
    DBGrid2->setWordWrap(false);
    DBGrid2->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    DBGrid2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid2->verticalHeader()->setDefaultSectionSize(DBGrid2->fontMetrics().height() + 4);
    DBGrid2->verticalHeader()->setAccessibleName(QStringLiteral("Events record indicator"));
    // The grid is its columns plus a fixed edge wide: the indicator keeps one
    // width, however many events a download brings, so no column is clipped.
    DBGrid2->verticalHeader()->setFixedWidth(kGridEdge - 2 - DBGrid2->verticalScrollBar()->sizeHint().width());
    // The corner above the record indicator selects nothing here, as on the
    // other grids.
    DBGrid2->setCornerButtonEnabled(false);
    for (QAbstractButton *corner : DBGrid2->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        corner->setAccessibleName(QStringLiteral("Events corner"));
    // The titles are buttons too: a click sorts.
    DBGrid2->horizontalHeader()->setAccessibleName(QStringLiteral("Event column titles"));
    DBGrid2->horizontalHeader()->setSectionsClickable(true);
    DBGrid2->horizontalHeader()->setSectionsMovable(false);
    DBGrid2->horizontalHeader()->setHighlightSections(false);
    m_binding = BindGrid(DBGrid2, m_host.session().EventTable);
    connect(DBGrid2->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { guarded([this, column] { DBGrid2TitleClick(column); }); });
    // The table exists from the start, so that the grid shows its titles
    // before the first download.
    DefineEventTable(m_host.session().EventTable);
    layoutGrid(false);
}

void EventsPage::buildDetails()
{
    EventDetails = new QGroupBox(QStringLiteral("Event Details"), m_tab);
    EventDetails->setObjectName(QStringLiteral("EventDetails"));
    EventDetails->setGeometry(478, 8, 292, 236);

    struct Row {
        QLineEdit **edit;
        const char *name;
        const char *label;
        bool readOnly;
        int width;
    };
    const Row rows[] = {{&E_Numb, "E_Numb", "Event #", true, 60},
                        {&E_Room, "E_Room", "Room Number", true, 80},
                        {&E_Client, "E_Client", "Client", true, 160},
                        {&E_relay, "E_relay", "Relay", false, 30},
                        {&E_source, "E_source", "Set by", false, 80},
                        {&E_time, "E_time", "Event time", false, 80},
                        {&E_date, "E_date", "Date", false, 80}};
    int y = 24;
    for (const Row &row : rows) {
        auto *label = new QLabel(QLatin1String(row.label), EventDetails);
        label->setObjectName(QLatin1String(row.name) + QStringLiteral("Label"));
        label->setGeometry(10, y, 96, 22);
        *row.edit = box(EventDetails, row.name, label->text(), row.readOnly);
        (*row.edit)->setGeometry(110, y, row.width, 22);
        label->setBuddy(*row.edit);
        y += 29;
    }
    E_Room->setText(QStringLiteral(" "));
    E_Client->setText(QStringLiteral(" "));
}

void EventsPage::buildClock()
{
    TimeGroup = new QGroupBox(QStringLiteral(" Time "), m_tab);
    TimeGroup->setObjectName(QStringLiteral("TimeGroup"));
    TimeGroup->setGeometry(478, 252, 292, 108);

    const QString unitCaption = QStringLiteral("Ostiarin's");
    const QString pcCaption = QStringLiteral("Loaded At");
    const QString timeCaption = QStringLiteral("Time:");
    const QString dateCaption = QStringLiteral("Date:");
    auto caption = [this](const QString &text, const char *name, int x, int y, int w) {
        auto *label = new QLabel(text, TimeGroup);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(x, y, w, 20);
        return label;
    };
    caption(unitCaption, "UnitClockCaption", 70, 20, 100);
    caption(pcCaption, "PcClockCaption", 176, 20, 100);
    caption(timeCaption, "TimeCaption", 10, 44, 56);
    caption(dateCaption, "DateCaption", 10, 72, 56);

    // Read-only boxes named from their column and row, as a screen reader
    // would need them ("Ostiarin's Time").
    auto clockBox = [this](const char *name, const QString &column, const QString &row, const QString &text, int x,
                           int y) {
        QLineEdit *edit = box(TimeGroup, name, column + QLatin1Char(' ') + QString(row).remove(QLatin1Char(':')), true);
        edit->setFocusPolicy(Qt::ClickFocus); // no tab stop
        edit->setText(text);
        edit->setGeometry(x, y, 100, 22);
        return edit;
    };
    Stime = clockBox("Stime", unitCaption, timeCaption, QStringLiteral("00:00:00"), 70, 42);
    Sdate = clockBox("Sdate", unitCaption, dateCaption, QStringLiteral("00/00"), 70, 70);
    Ctime = clockBox("Ctime", pcCaption, timeCaption, QStringLiteral("00:00:00"), 176, 42);
    Cdate = clockBox("Cdate", pcCaption, dateCaption, QStringLiteral("00/00/00"), 176, 70);
}

void EventsPage::buildButtons()
{
    dnLoad = new QPushButton(QStringLiteral("Down Load"), m_tab);
    dnLoad->setObjectName(QStringLiteral("dnLoad"));
    SetHint(dnLoad, QStringLiteral("Load Data|Load Event Data From Ostiarin"));
    dnLoad->setGeometry(478, 372, 100, 30);
    dnLoad->setEnabled(false);
    connectHandler(dnLoad, &QPushButton::clicked, this, [this] { dnLoadClick(); });

    Set_time = new QPushButton(QStringLiteral("Set_time"), m_tab);
    Set_time->setObjectName(QStringLiteral("Set_time"));
    SetHint(Set_time, QStringLiteral("Set the Ostiarin Time"));
    Set_time->setGeometry(590, 372, 100, 30);
    Set_time->setEnabled(false);
    connectHandler(Set_time, &QPushButton::clicked, this, [this] { Set_timeClick(); });

    // Both need the unit: enabled once the PIN is accepted, disabled off line.
    m_host.linkController().addFirstGroup(dnLoad);
    m_host.linkController().addFirstGroup(Set_time);
}

void EventsPage::layoutGrid(bool afterDownload)
{
    const QFontMetrics metrics(DBGrid2->font());
    const QStringList titles = m_host.session().EventTable.fieldNames();
    QHeaderView *header = DBGrid2->horizontalHeader();
    for (int column = 0; column < int(titles.size()) && column < int(std::size(kDisplayWidths)); ++column) {
        // Dates, times and rooms are digits, which are wider than the average letter.
        const int text = std::max(metrics.averageCharWidth(), metrics.horizontalAdvance(QLatin1Char('0')))
                         * kDisplayWidths[column];
        const int title = metrics.horizontalAdvance(titles.at(column));
        DBGrid2->setColumnWidth(column, std::max(text, title) + 12);
    }
    if (afterDownload) {
        DBGrid2->setColumnWidth(0, kEventColumnWidth);
        DBGrid2->setColumnWidth(kSourceColumn, header->sectionSize(kSourceColumn) + kSourceExtraWidth);
    }
    int width = kGridEdge;
    for (int column = 0; column < kShownColumns; ++column)
        width += header->sectionSize(column);
    DBGrid2->resize(width, DBGrid2->height());
}

void EventsPage::dnLoadClick()
{
    EventDownloadControls ui;
    ui.showTransfer = [this] { m_host.showTransfer(true); };
    ui.hideTransfer = [this] { m_host.showTransfer(false); };
    ui.blinkLed = [this](bool on) { m_host.blinkLamp(on); };
    // Steady green while on line; a log-off inside the download has already
    // given the lamp its off-line picture, which stays.
    ui.steadyLed = [this] {
        if (m_host.session().Link.LoggedOn)
            m_host.setLamp(Pictures::LedGreen);
    };
    ui.setUnitTime = [this](const QString &text) { Stime->setText(text); };
    ui.setUnitDate = [this](const QString &text) { Sdate->setText(text); };
    ui.setPcTime = [this](const QString &text) { Ctime->setText(text); };
    ui.setPcDate = [this](const QString &text) { Cdate->setText(text); };
    ui.loaded = [this] {
        layoutGrid(true);
        m_host.offerEventsSaveAs();
    };
    m_host.session().dnLoadClick(ui);
}

void EventsPage::Set_timeClick()
{
    // What the unit answers changes nothing on the page.
    m_host.session().Set_timeClick();
}

void EventsPage::DBGrid2TitleClick(int column)
{
    RecordTable &table = m_host.session().EventTable;
    if (!table.isOpen() || column < 0 || column >= table.fieldCount())
        return;
    QString field = table.fields().at(column).name;
    // Dates and times as text would sort by day and by hour; the event
    // number is their order in the log.
    if (field == EventFields::Time || field == EventFields::Date)
        field = EventFields::Event;
    table.sortOn(field, Qt::CaseSensitive);
    table.first();
}

void EventsPage::EventTableAfterScroll()
{
    const RecordTable &table = m_host.session().EventTable;
    if (table.controlsDisabled() || table.fieldCount() == 0)
        return;
    const int position = table.recNo();
    E_Numb->setText(position > 0 ? QString::number(position) : QString());
    E_Room->setText(table.value(EventFields::RoomNumber));
    E_Client->setText(table.value(EventFields::Client));
    E_relay->setText(table.value(EventFields::RlyNo));
    E_source->setText(table.value(EventFields::Source));
    E_time->setText(table.value(EventFields::Time));
    E_date->setText(table.value(EventFields::Date));
}

EventFileTimes EventsPage::shownTimes() const
{
    return {Stime->text(), Sdate->text(), Ctime->text(), Cdate->text()};
}

void EventsPage::SaveEventFileAs()
{
    if (!m_host.eventsSaveAsOffered())
        return;
    const QString path = FileDialogService::askSave(kEventFileExtension, kEventFileName, kEventFileFilter);
    if (path.isEmpty())
        return;
    WriteEventFile(path, shownTimes(), m_host.session().EventTable);
}
