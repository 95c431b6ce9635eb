#pragma once

#include <QObject>
#include <QPointer>
#include <QTableView>

class QModelIndex;
class RecordTable;
class RecordTableModel;

// Ties a table view to a record table: the view shows the table through a
// RecordTableModel of its own, whole rows are selected one at a time and
// cannot be edited, selecting a row moves the table's cursor to that record,
// and every move of the cursor selects the current record's row (none while
// the cursor stands on a new record).  While the table's display updates are
// paused the view neither follows the cursor nor moves it; it catches up when
// they resume.
class GridBinding : public QObject {
    Q_OBJECT
public:
    // The binding belongs to the view; the table must outlive it.
    GridBinding(QTableView *view, RecordTable &table);

    RecordTableModel *model() const { return m_model; }
    QTableView *view() const { return m_view; }

    // Selects the current record's row in the view.
    void showCursor();

private:
    void rowChosen(const QModelIndex &current);
    int visibleColumn() const;

    QPointer<QTableView> m_view;
    RecordTable &m_table;
    // Null once the table is being destroyed: a view may outlive it (the
    // window's tables go before its widgets), and the model's last reset
    // must not reach into a table that is already half gone.
    QPointer<RecordTable> m_tableAlive;
    RecordTableModel *m_model;
    bool m_syncing = false;
};

// Binds `view` to `table` (see GridBinding) and returns the binding.
GridBinding *BindGrid(QTableView *view, RecordTable &table);
