#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class RecordOrder;

// One field of a record table: a text of at most `width` characters, or a
// 16-bit signed integer.
struct RecordField {
    enum class Type { Text, Int16 };

    QString name;
    Type type = Type::Text;
    int width = 0; // characters; text fields only

    static RecordField text(const QString &name, int width) { return {name, Type::Text, width}; }
    static RecordField int16(const QString &name) { return {name, Type::Int16, 0}; }
};

// An in-memory table of records with one cursor, the store behind the phone
// directory and the event log and the grids that show them.
//
// Values.  Every value is held as text.  A text longer than its field is cut
// to the field's width when it is set; a character above U+00FF becomes '?'
// (all text of the program is single-byte); an empty text and an absent value
// are the same.  An integer field takes a decimal text (or setInt) in the
// range -32768..32767 and reads back as canonical decimal text.  Fields are
// found by name without regard to letter case; an unknown name throws
// AppError.
//
// Cursor.  Record numbers count from 1 in the current order.  recNo() is -1
// when the table is empty or the cursor stands on a new record that has not
// been stored; recordCount() counts stored records only.  bof() is set by
// first() and by prior() on the first record, eof() by last() and by next()
// on the last record; both are set while the table is empty.  A walk is
// therefore first(); while (!eof()) { ...; next(); }.
//
// Changes.  edit() puts the current record into edit state (on an empty
// table it starts a new record instead); append() and insert() start a new
// empty record at the end or before the current record.  Values set in those
// states are pending: value() reads them back, views and recordValues() do
// not see them, store() makes them part of the table and cancel() discards
// them (a cancelled new record disappears and the cursor returns to the
// record it stood on).  setValue() outside those states puts the current
// record into edit state first.
//
// Moving the cursor settles a pending record first, as storePending() does:
// changed values are stored, so "set a field, move next" keeps the change,
// while a new record that received no value at all is discarded (the empty
// record offered for typing does not become a blank entry when the user
// looks elsewhere).  Deleting a new record discards it.
//
// Order.  Records keep the order in which they were stored until sortOn();
// from then on the table stays sorted: a record stored later, new or
// changed, takes its place in that order (after the records with an equal
// key), and the cursor follows it.  A change that leaves a record in order
// does not move it.  Only define() ends the sort.  A walk that changes the
// sort field may therefore meet a record twice or not at all.
//
// Notifications.  afterScroll() follows every operation that may change the
// current record: open, empty, first, last, next, prior, moveTo, find (when
// it finds), append, insert, edit on an empty table, store, storePending
// (when something was pending), cancel, delete and sort.  The before-delete
// hook decides whether a deletion may go ahead.  The row signals tell views
// how the stored records changed; while display updates are paused
// (disableControls) they are held back, and the outermost enableControls()
// sends one reset instead if anything changed.
//
// Operations that change records throw AppError on a closed table; reading
// and moving on a closed table do nothing.
class RecordTable : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };

    explicit RecordTable(QObject *parent = nullptr);
    ~RecordTable() override;

    // Closes the table and discards its records, fields and sort, then
    // defines the fields in the given order.  The table is left closed.  An
    // invalid definition (no name, a name twice, a text field narrower than
    // one character) throws AppError and leaves the table as it was.
    void define(const QList<RecordField> &fields);
    int fieldCount() const { return int(m_fields.size()); }
    const QList<RecordField> &fields() const { return m_fields; }
    QStringList fieldNames() const;
    // Index of the field called `name` (any letter case), or -1.
    int findField(const QString &name) const;
    // As findField, but an unknown name throws AppError.
    int fieldIndex(const QString &name) const;

    // Opening gives an empty table; closing discards the records.
    void open();
    void close();
    bool isOpen() const { return m_open; }
    // Removes every record, pending ones too.
    void empty();
    State state() const;

    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    int recNo() const;
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }

    void first();
    void last();
    void next();
    void prior();
    // Moves to record number `recNo`; false (and no move) when there is none.
    bool moveTo(int recNo);
    // Moves to the first record, in current order, whose field equals `text`
    // exactly; false, and the cursor stays, when there is none.
    bool find(const QString &field, const QString &text);

    void append();
    void insert();
    void edit();
    void setValue(const QString &field, const QString &text) { setValue(fieldIndex(field), text); }
    void setValue(int field, const QString &text);
    void setInt(const QString &field, int value);
    // The current record's value, pending values included; empty when there
    // is no current record or the index is out of range.
    QString value(const QString &field) const { return value(fieldIndex(field)); }
    QString value(int field) const;
    // The value of an integer field; nothing when it is empty.
    std::optional<qint16> intValue(const QString &field) const;
    // Whether a pending record has been given any value.
    bool isModified() const;
    void store();
    void cancel();
    // Settles a pending record as a cursor move does; true if one was pending.
    bool storePending();
    // Deletes the current record, if the before-delete hook allows it.  True
    // when a stored record was deleted.
    bool deleteRecord();

    // Sorts ascending on one field (see RecordOrder); the sort stays in force
    // until define().  The cursor stays on its record.
    void sortOn(const QString &field, Qt::CaseSensitivity caseSensitivity);
    bool isSorted() const { return m_order != nullptr; }
    // Index of the sort field, or -1.
    int sortField() const;

    // Stored values without moving the cursor, `row` from 0 in current order;
    // empty when out of range.
    QStringList recordValues(int row) const;
    QString storedValue(int row, int field) const;

    // Called before a stored record is deleted; returning false cancels the
    // deletion silently.
    void setBeforeDelete(std::function<bool()> hook) { m_beforeDelete = std::move(hook); }

    // Pauses the row signals (nestable) while a bulk operation works.
    void disableControls() { ++m_pauses; }
    void enableControls();
    bool controlsDisabled() const { return m_pauses > 0; }

signals:
    void afterScroll();

    // For views of the stored records (see RecordTableModel).
    void aboutToReset();
    void wasReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    // The record at `from` ends up at `to` (both indexes from 0).
    void rowAboutToBeMoved(int from, int to);
    void rowMoved(int from, int to);
    void rowChanged(int row);
    // Display updates resumed (after the reset, if any).
    void controlsEnabled();

private:
    struct Pending {
        bool isNew = false;
        int insertAt = 0; // new records in an unsorted table
        bool modified = false;
        QStringList values;
    };

    void requireOpen() const;
    QString normalized(int field, const QString &text) const;
    QStringList emptyValues() const;
    bool settle();
    void storeNow();
    void startNew(int insertAt, bool atEnd);
    int upperBound(const QStringList &values, int skip) const;
    bool inOrder(int row, const QStringList &values) const;
    void discardAll();

    // Row signals, held back while paused.
    bool paused();
    void beginReset();
    void endReset();

    QList<RecordField> m_fields;
    QList<QStringList> m_rows;
    std::optional<Pending> m_pending;
    std::unique_ptr<RecordOrder> m_order;
    std::function<bool()> m_beforeDelete;
    int m_current = -1; // stored row under the cursor, or the one a new record returns to
    bool m_open = false;
    bool m_bof = true;
    bool m_eof = true;
    int m_pauses = 0;
    bool m_changedWhilePaused = false;
};
