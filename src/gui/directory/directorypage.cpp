#include "directory/directorypage.h"

#include "window/mainwindow.h"
#include "widgets/receivelogview.h"
#include "common/handler.h"
#include "common/hint.h"
#include "directory/directoryfilecommands.h"
#include "directory/directorytable.h"
#include "directory/directorytransfer.h"
#include "directory/recordeditor.h"
#include "link/delay.h"
#include "link/logon.h"
#include "records/gridbinding.h"
#include "records/recordtable.h"
#include "records/recordtablemodel.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QStyledItemDelegate>
#include <QTableView>

using namespace DirectoryFields;

namespace {
constexpr int kMargin = 8;
constexpr int kGridTop = 34;
constexpr int kGridHeight = 404;
constexpr int kEditorLeft = 516;
constexpr int kLayoutPause = 10;

// Paints one column's text in a colour of its own.
class ColumnColourDelegate : public QStyledItemDelegate {
public:
    explicit ColumnColourDelegate(QObject *parent) : QStyledItemDelegate(parent) {}
    QColor colour;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (colour.isValid()) {
            option->palette.setColor(QPalette::Text, colour);
            option->palette.setColor(QPalette::HighlightedText, colour);
        }
    }
};

void setColumnWidth(QTableView *grid, const RecordTable &table, const QString &field, int width)
{
    const int column = table.findField(field);
    if (column >= 0)
        grid->setColumnWidth(column, width);
}

int columnWidth(QTableView *grid, const RecordTable &table, const QString &field)
{
    const int column = table.findField(field);
    return column >= 0 ? grid->columnWidth(column) : 0;
}

void hideColumns(QTableView *grid, const RecordTable &table, const QStringList &fields)
{
    for (const QString &field : fields) {
        const int column = table.findField(field);
        if (column >= 0)
            grid->setColumnHidden(column, true);
    }
}
} // namespace

DirectoryPage::DirectoryPage(TostiForm &form) : QObject(&form), m_form(form)
{
    buildGrid();
    m_editor = new RecordEditor(m_form, m_form.phdir, QPoint(kEditorLeft, kGridTop));
    buildButtons();
    m_files = new DirectoryFileCommands(m_form, &m_form, [this] { LayoutDirectoryGrids(); });

    // Keyboard order of the page; controls that cannot take the focus are passed over.
    RecordEditor &e = *m_editor;
    QList<QWidget *> order{e.NavInst, e.Undo};
    for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
        order << e.DBNavigator1->button(RecordNavigator::Button(i));
    order << e.WrtChg << GetData << WriteData << e.Namef << e.RoomNumber << e.PHnumber << e.Code1 << e.Code2
          << e.NavOk << m_form.DBGrid1;
    for (int i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
    // The file name is typed into by a click; Tab passes it by.
    m_form.DBFiles->setFocusPolicy(Qt::ClickFocus);

    // The receive log under the editor's column, its bottom on the grid's.
    m_form.RxMemo->setGeometry(kEditorLeft, kGridTop + kGridHeight - m_form.RxMemo->height(), m_form.RxMemo->width(),
                               m_form.RxMemo->height());

    m_form.DirectoryTable.setBeforeDelete([this] { return deletionGuard(); });

    WorkspaceHooks &hooks = m_form.Hooks;
    hooks.defineDirectoryTable = [this] { defineDirectoryTable(); };
    hooks.layoutDirectoryGrids = [this] { LayoutDirectoryGrids(); };
    hooks.focusNameField = [this] { m_editor->Namef->setFocus(); };
    hooks.writeEachChangeEnabled = [this](bool enabled) { m_editor->setWriteEachChangeEnabled(enabled); };
    hooks.setCodeColumnsColour = [this](const QColor &colour) { setCodeColumnsColour(colour); };
    hooks.openDirectoryFile = [this] { m_files->Open(); };
    hooks.saveDirectoryFile = [this] { m_files->Save(); };
    hooks.saveDirectoryFileAs = [this] { m_files->SaveAs(); };
}

void DirectoryPage::buildGrid()
{
    auto *grid = new QTableView(m_form.phdir);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setGeometry(kMargin, kGridTop, 494, kGridHeight);
    SetHint(grid, QStringLiteral("Phone List"));
    grid->setAccessibleName(QStringLiteral("Phone List"));
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QHeaderView *titles = grid->horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setSectionsMovable(false);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QHeaderView *rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(20);
    rows->setFixedWidth(GridWidths::Indicator - 2 - grid->verticalScrollBar()->sizeHint().width());
    rows->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    titles->setAccessibleName(QStringLiteral("Phone List titles"));
    rows->setAccessibleName(QStringLiteral("Phone List records"));
    // The corner above the record numbers selects nothing here.
    for (QAbstractButton *corner : grid->findChildren<QAbstractButton *>(Qt::FindDirectChildrenOnly))
        corner->setAccessibleName(QStringLiteral("Phone List corner"));
    m_form.DBGrid1 = grid;
    m_grid1 = BindGrid(grid, m_form.DirectoryTable);
    connect(titles, &QHeaderView::sectionClicked, this, [this](int column) {
        guarded([this, column] { DBGrid1TitleClick(column); });
    });
}

void DirectoryPage::buildButtons()
{
    const QRect editor = m_editor->area();
    auto make = [this, &editor](QPushButton *&b, const char *name, const char *caption, int column) {
        b = new QPushButton(QLatin1String(caption), m_form.phdir);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(editor.left() + column * 117, editor.bottom() + 14, 111, 28);
        b->setEnabled(false); // until the unit accepts the PIN
        m_form.Link->addFirstGroup(b);
    };
    make(GetData, "GetData", "GetData", 0);
    make(WriteData, "WriteData", "WriteAllData", 1);
    SetHint(GetData, QStringLiteral("GetData|Retrive All Ostiarin data"));
    SetHint(WriteData, QStringLiteral("WriteAllData|Replace all records in the Ostiarin with this list"));

    m_transfer = new DirectoryTransfer(m_form);
    connectHandler(GetData, &QPushButton::clicked, this, [this] { m_transfer->GetDataClick(); });
    connectHandler(WriteData, &QPushButton::clicked, this, [this] { m_transfer->WriteDataClick(); });
}

void DirectoryPage::defineDirectoryTable()
{
    RecordTable &table = m_form.DirectoryTable;
    DefineDirectoryTable(table);
    table.open();
    table.empty();
}

void DirectoryPage::LayoutDirectoryGrids()
{
    const RecordTable &table = m_form.DirectoryTable;
    QTableView *grid = m_form.DBGrid1;
    Delay(kLayoutPause);
    setColumnWidth(grid, table, Name, GridWidths::Name);
    setColumnWidth(grid, table, RoomNumber, GridWidths::RoomNumber);
    setColumnWidth(grid, table, PHnumber, GridWidths::PHnumber);
    setColumnWidth(grid, table, Code1, GridWidths::Code);
    setColumnWidth(grid, table, Code2, GridWidths::Code);
    setColumnWidth(grid, table, Spare, GridWidths::Spare);
    setColumnWidth(grid, table, RFID, GridWidths::RFID);
    Delay(kLayoutPause);
    grid->resize(columnWidth(grid, table, Name) + GridWidths::Indicator + columnWidth(grid, table, RoomNumber)
                     + columnWidth(grid, table, PHnumber) + columnWidth(grid, table, Code1)
                     + columnWidth(grid, table, Code2),
                 grid->height());
    // The tag list is made by the tag page and may not exist yet.
    QTableView *tags = m_form.DBGrid3;
    if (tags)
        setColumnWidth(tags, table, RFID, GridWidths::TagListRFID);
    Delay(kLayoutPause);
    hideColumns(grid, table, {Addr, Spare, RFID});
    if (tags)
        hideColumns(tags, table, {PHnumber, Code1, Code2, Spare, Addr});
    grid->viewport()->update();
}

void DirectoryPage::DBGrid1TitleClick(int column)
{
    RecordTable &table = m_form.DirectoryTable;
    if (!table.isOpen() || column < 0 || column >= table.fieldCount())
        return;
    try {
        table.storePending();
        table.sortOn(table.fields().at(column).name, Qt::CaseInsensitive);
    } catch (const AppError &) {
        // A sort that cannot be made leaves the order as it was; nothing to report.
    }
    table.first();
}

void DirectoryPage::setCodeColumnsColour(const QColor &colour)
{
    m_codeColour = colour;
    QTableView *grid = m_form.DBGrid1;
    const RecordTable &table = m_form.DirectoryTable;
    for (const QString &field : {Code1, Code2, Spare}) {
        const int column = table.findField(field);
        if (column < 0)
            continue;
        auto *delegate = dynamic_cast<ColumnColourDelegate *>(grid->itemDelegateForColumn(column));
        if (!delegate) {
            delegate = new ColumnColourDelegate(grid);
            grid->setItemDelegateForColumn(column, delegate);
        }
        delegate->colour = colour;
        // The titles of codes not in effect are greyed as disabled text is.
        if (auto *model = qobject_cast<RecordTableModel *>(grid->model()))
            model->setTitleColour(field, colour.isValid() ? grid->palette().color(QPalette::Disabled, QPalette::Text)
                                                          : QColor());
    }
    grid->viewport()->update();
}

bool DirectoryPage::deletionGuard()
{
    // Only the navigator's and the tag page's delete buttons allow a
    // deletion, once each; the grid's own delete never does.
    if (!m_form.DeleteAllowed)
        return false;
    m_form.DeleteAllowed = false;
    return true;
}
