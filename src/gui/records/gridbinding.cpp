#include "records/gridbinding.h"

#include "records/recordtable.h"
#include "records/recordtablemodel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTimer>

#include <utility>

GridBinding::GridBinding(QTableView *view, RecordTable &table)
    : QObject(view), m_view(view), m_table(table), m_tableAlive(&table), m_model(new RecordTableModel(table, this))
{
    QItemSelectionModel *oldSelection = view->selectionModel();
    view->setModel(m_model);
    // setModel() made a new selection model; the old one would linger.
    if (oldSelection && oldSelection != view->selectionModel())
        oldSelection->deleteLater();
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSortingEnabled(false);

    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { rowChosen(current); });
    connect(&table, &RecordTable::afterScroll, this, [this] {
        if (!m_table.controlsDisabled())
            showCursor();
    });
    connect(&table, &RecordTable::controlsEnabled, this, &GridBinding::showCursor);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_tableAlive && !m_table.controlsDisabled())
            showCursor();
    });
    showCursor();
}

int GridBinding::visibleColumn() const
{
    const int current = m_view->selectionModel()->currentIndex().column();
    if (current >= 0 && !m_view->isColumnHidden(current))
        return current;
    const int first = m_view->horizontalHeader()->logicalIndexAt(0);
    if (first >= 0)
        return first;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (!m_view->isColumnHidden(column))
            return column;
    }
    return 0;
}

void GridBinding::showCursor()
{
    if (!m_view || !m_tableAlive || m_syncing || m_view->model() != m_model)
        return;
    m_syncing = true;
    QItemSelectionModel *selection = m_view->selectionModel();
    const int row = m_table.recNo() - 1;
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0) {
        selection->clear();
    } else {
        const QModelIndex index = m_model->index(row, visibleColumn());
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view->scrollTo(index);
    }
    m_syncing = false;
}

void GridBinding::rowChosen(const QModelIndex &current)
{
    if (!m_tableAlive || m_syncing || m_model->isChanging() || m_table.controlsDisabled() || !current.isValid())
        return;
    if (current.row() == m_table.recNo() - 1 && m_table.state() == RecordTable::State::Browse)
        return;
    m_syncing = true;
    // Storing a pending record may move rows; the view's current index moves
    // with them and still names the record the user chose.
    m_table.storePending();
    const int row = m_view ? m_view->selectionModel()->currentIndex().row() : -1;
    if (row >= 0)
        m_table.moveTo(row + 1);
    m_syncing = false;
    showCursor();
    // A mouse press goes on to select the row under the pointer, which is
    // another record if rows moved meanwhile; put the selection right after it.
    if (row != current.row())
        QTimer::singleShot(0, this, &GridBinding::showCursor);
}

GridBinding *BindGrid(QTableView *view, RecordTable &table)
{
    return new GridBinding(view, table);
}
