#include "records/recordtablemodel.h"

#include "records/recordtable.h"

RecordTableModel::RecordTableModel(RecordTable &table, QObject *parent)
    : QAbstractTableModel(parent), m_table(&table)
{
    takeShape();
    connect(&table, &RecordTable::aboutToReset, this, [this] {
        ++m_changing;
        beginResetModel();
    });
    connect(&table, &RecordTable::wasReset, this, [this] {
        takeShape();
        endResetModel();
        --m_changing;
    });
    connect(&table, &RecordTable::rowAboutToBeInserted, this, [this](int row) {
        ++m_changing;
        beginInsertRows(QModelIndex(), row, row);
    });
    connect(&table, &RecordTable::rowInserted, this, [this] {
        ++m_rows;
        endInsertRows();
        --m_changing;
    });
    connect(&table, &RecordTable::rowAboutToBeRemoved, this, [this](int row) {
        ++m_changing;
        beginRemoveRows(QModelIndex(), row, row);
    });
    connect(&table, &RecordTable::rowRemoved, this, [this] {
        --m_rows;
        endRemoveRows();
        --m_changing;
    });
    connect(&table, &RecordTable::rowAboutToBeMoved, this, [this](int from, int to) {
        ++m_changing;
        // Qt counts the destination before the move: moving down passes the
        // row itself.
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    });
    connect(&table, &RecordTable::rowMoved, this, [this] {
        endMoveRows();
        --m_changing;
    });
    connect(&table, &RecordTable::rowChanged, this, [this](int row) {
        if (row >= 0 && row < m_rows && !m_titles.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_titles.size()) - 1), {Qt::DisplayRole});
    });
    connect(&table, &QObject::destroyed, this, [this] {
        beginResetModel();
        m_rows = 0;
        m_titles.clear();
        endResetModel();
    });
}

void RecordTableModel::takeShape()
{
    m_rows = m_table ? m_table->recordCount() : 0;
    m_titles = m_table ? m_table->fieldNames() : QStringList();
}

bool RecordTableModel::holds(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < m_rows && index.column() < m_titles.size();
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !m_table || !holds(index))
        return {};
    return m_table->storedValue(index.row(), index.column());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_titles.size())
            return {};
        if (role == Qt::DisplayRole)
            return m_titles.at(section);
        if (role == Qt::ForegroundRole) {
            const QColor colour = m_titleColours.value(m_titles.at(section).toLower());
            if (colour.isValid())
                return colour;
        }
        return {};
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void RecordTableModel::setTitleColour(const QString &field, const QColor &colour)
{
    if (colour.isValid())
        m_titleColours.insert(field.toLower(), colour);
    else
        m_titleColours.remove(field.toLower());
    if (!m_titles.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_titles.size()) - 1);
}
