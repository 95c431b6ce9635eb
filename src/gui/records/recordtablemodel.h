#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QStringList>

class RecordTable;

// A read-only item model of a record table for the grids: one column per
// field in field order, titled with the field names, one row per stored
// record in the table's current order.  A record being edited shows its
// stored values until it is stored, and a new record appears once it is
// stored.  While the table's display updates are paused the model stays as
// it was and is reset once when they resume.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordTableModel(RecordTable &table, QObject *parent = nullptr);

    RecordTable *table() const { return m_table; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // True while the model passes a change of the table on to its views;
    // selection changes that views make meanwhile are not the user's.
    bool isChanging() const { return m_changing > 0; }

    // The colour of a column's title (found by field name, so it outlasts a
    // redefinition of the table); an invalid colour gives the standard one.
    void setTitleColour(const QString &field, const QColor &colour);

private:
    void takeShape();
    bool holds(const QModelIndex &index) const;

    QPointer<RecordTable> m_table;
    // What the views have been told, which lags behind the table while its
    // display updates are paused.
    int m_rows = 0;
    QStringList m_titles;
    int m_changing = 0;
    QHash<QString, QColor> m_titleColours; // by field name, lower case
};
