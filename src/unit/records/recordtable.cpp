#include "records/recordtable.h"

#include "common/convert.h"
#include "common/errors.h"
#include "records/recordorder.h"

#include <algorithm>
#include <limits>
#include <numeric>

RecordTable::RecordTable(QObject *parent) : QObject(parent) {}

RecordTable::~RecordTable() = default;

// ---- definition ------------------------------------------------------------

void RecordTable::define(const QList<RecordField> &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const RecordField &f = fields.at(i);
        if (f.name.isEmpty())
            throw AppError(QStringLiteral("A field needs a name"));
        if (f.type == RecordField::Type::Text && f.width < 1)
            throw AppError(QStringLiteral("Field '%1' needs a width of at least one character").arg(f.name));
        for (qsizetype j = 0; j < i; ++j) {
            if (fields.at(j).name.compare(f.name, Qt::CaseInsensitive) == 0)
                throw AppError(QStringLiteral("Duplicate field name '%1'").arg(f.name));
        }
    }
    beginReset();
    m_open = false;
    discardAll();
    m_order.reset();
    m_fields = fields;
    endReset();
}

QStringList RecordTable::fieldNames() const
{
    QStringList names;
    for (const RecordField &f : m_fields)
        names.append(f.name);
    return names;
}

int RecordTable::findField(const QString &name) const
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

int RecordTable::fieldIndex(const QString &name) const
{
    const int index = findField(name);
    if (index < 0)
        throw AppError(QStringLiteral("Field '%1' not found").arg(name));
    return index;
}

// ---- lifecycle -------------------------------------------------------------

void RecordTable::open()
{
    if (m_open)
        return;
    beginReset();
    m_open = true;
    discardAll();
    endReset();
    emit afterScroll();
}

void RecordTable::close()
{
    if (!m_open)
        return;
    beginReset();
    m_open = false;
    discardAll();
    endReset();
}

void RecordTable::empty()
{
    if (!m_open)
        return;
    beginReset();
    discardAll();
    endReset();
    emit afterScroll();
}

void RecordTable::discardAll()
{
    m_rows.clear();
    m_pending.reset();
    m_current = -1;
    m_bof = m_eof = true;
}

RecordTable::State RecordTable::state() const
{
    if (!m_open)
        return State::Closed;
    if (!m_pending)
        return State::Browse;
    return m_pending->isNew ? State::Insert : State::Edit;
}

void RecordTable::requireOpen() const
{
    if (!m_open)
        throw AppError(QStringLiteral("Cannot perform this operation on a closed table"));
}

// ---- cursor ----------------------------------------------------------------

int RecordTable::recNo() const
{
    if (!m_open || (m_pending && m_pending->isNew) || m_current < 0)
        return -1;
    return m_current + 1;
}

void RecordTable::first()
{
    if (!m_open)
        return;
    settle();
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    emit afterScroll();
}

void RecordTable::last()
{
    if (!m_open)
        return;
    settle();
    m_current = int(m_rows.size()) - 1;
    m_bof = m_rows.isEmpty();
    m_eof = true;
    emit afterScroll();
}

void RecordTable::next()
{
    if (!m_open)
        return;
    settle();
    if (m_current >= int(m_rows.size()) - 1) {
        m_eof = true;
        m_bof = m_rows.isEmpty();
    } else {
        ++m_current;
        m_bof = m_eof = false;
    }
    emit afterScroll();
}

void RecordTable::prior()
{
    if (!m_open)
        return;
    settle();
    if (m_current <= 0) {
        m_bof = true;
        m_eof = m_rows.isEmpty();
    } else {
        --m_current;
        m_bof = m_eof = false;
    }
    emit afterScroll();
}

bool RecordTable::moveTo(int recNo)
{
    if (!m_open)
        return false;
    const bool settled = settle();
    const bool valid = recNo >= 1 && recNo <= m_rows.size();
    if (valid) {
        m_current = recNo - 1;
        m_bof = m_eof = false;
    }
    if (valid || settled)
        emit afterScroll();
    return valid;
}

bool RecordTable::find(const QString &field, const QString &text)
{
    const int index = fieldIndex(field);
    if (!m_open)
        return false;
    // Integer fields hold canonical decimal text; a key that is no number
    // matches none of them.
    QString key = text;
    bool searchable = true;
    if (m_fields.at(index).type == RecordField::Type::Int16 && !text.isEmpty()) {
        int number = 0;
        searchable = TryStrToInt(text, number);
        key = QString::number(number);
    }
    const bool settled = settle();
    int found = -1;
    for (qsizetype row = 0; searchable && row < m_rows.size(); ++row) {
        if (m_rows.at(row).at(index) == key) {
            found = int(row);
            break;
        }
    }
    if (found >= 0) {
        m_current = found;
        m_bof = m_eof = false;
    }
    if (found >= 0 || settled)
        emit afterScroll();
    return found >= 0;
}

// ---- changes ---------------------------------------------------------------

QStringList RecordTable::emptyValues() const
{
    QStringList values;
    values.resize(m_fields.size());
    return values;
}

QString RecordTable::normalized(int field, const QString &text) const
{
    if (text.isEmpty())
        return {};
    const RecordField &f = m_fields.at(field);
    if (f.type == RecordField::Type::Int16) {
        int number = 0;
        if (!TryStrToInt(text, number))
            throw ConversionError(text);
        if (number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
            throw AppError(QStringLiteral("%1 is not a valid value for field '%2'. "
                                          "The allowed range is -32768 to 32767")
                               .arg(text, f.name));
        return QString::number(number);
    }
    QString cut = text.left(f.width);
    for (QChar &c : cut) {
        if (c.unicode() > 0xFF)
            c = QLatin1Char('?');
    }
    return cut;
}

void RecordTable::startNew(int insertAt, bool atEnd)
{
    m_pending = Pending{true, insertAt, false, emptyValues()};
    m_bof = false;
    m_eof = atEnd;
    emit afterScroll();
}

void RecordTable::append()
{
    requireOpen();
    settle();
    startNew(int(m_rows.size()), true);
}

void RecordTable::insert()
{
    requireOpen();
    settle();
    startNew(std::max(m_current, 0), m_rows.isEmpty());
}

void RecordTable::edit()
{
    requireOpen();
    if (m_pending)
        return;
    if (m_rows.isEmpty() || m_current < 0) {
        startNew(0, true);
        return;
    }
    m_pending = Pending{false, 0, false, m_rows.at(m_current)};
}

void RecordTable::setValue(int field, const QString &text)
{
    requireOpen();
    if (field < 0 || field >= m_fields.size())
        throw AppError(QStringLiteral("No field number %1").arg(field));
    const QString value = normalized(field, text);
    edit();
    m_pending->values[field] = value;
    m_pending->modified = true;
}

void RecordTable::setInt(const QString &field, int value)
{
    setValue(fieldIndex(field), QString::number(value));
}

QString RecordTable::value(int field) const
{
    if (field < 0 || field >= m_fields.size())
        return {};
    if (m_pending)
        return m_pending->values.at(field);
    return storedValue(m_current, field);
}

std::optional<qint16> RecordTable::intValue(const QString &field) const
{
    const int index = fieldIndex(field);
    if (m_fields.at(index).type != RecordField::Type::Int16)
        throw AppError(QStringLiteral("Field '%1' is not an integer field").arg(m_fields.at(index).name));
    const QString text = value(index);
    if (text.isEmpty())
        return std::nullopt;
    return qint16(text.toInt());
}

bool RecordTable::isModified() const { return m_pending && m_pending->modified; }

void RecordTable::store()
{
    if (!m_open || !m_pending)
        return;
    storeNow();
    emit afterScroll();
}

void RecordTable::cancel()
{
    if (!m_open || !m_pending)
        return;
    if (m_pending->isNew)
        m_bof = m_eof = m_rows.isEmpty();
    m_pending.reset();
    emit afterScroll();
}

bool RecordTable::storePending()
{
    if (!m_open || !settle())
        return false;
    emit afterScroll();
    return true;
}

bool RecordTable::settle()
{
    if (!m_pending)
        return false;
    if (m_pending->modified || !m_pending->isNew)
        storeNow();
    else
        m_pending.reset();
    m_bof = m_eof = m_rows.isEmpty();
    return true;
}

void RecordTable::storeNow()
{
    Pending pending = std::move(*m_pending);
    m_pending.reset();
    m_bof = m_eof = false;
    if (pending.isNew) {
        const int row = m_order ? upperBound(pending.values, -1)
                                : std::clamp(pending.insertAt, 0, int(m_rows.size()));
        const bool quiet = paused();
        if (!quiet)
            emit rowAboutToBeInserted(row);
        m_rows.insert(row, std::move(pending.values));
        m_current = row;
        if (!quiet)
            emit rowInserted(row);
        return;
    }
    if (!pending.modified || m_current < 0 || m_current >= m_rows.size())
        return;
    const bool quiet = paused();
    const int from = m_current;
    if (m_order && !inOrder(from, pending.values)) {
        const int to = upperBound(pending.values, from);
        if (!quiet)
            emit rowAboutToBeMoved(from, to);
        m_rows[from] = std::move(pending.values);
        m_rows.move(from, to);
        m_current = to;
        if (!quiet) {
            emit rowMoved(from, to);
            emit rowChanged(to);
        }
        return;
    }
    m_rows[from] = std::move(pending.values);
    if (!quiet)
        emit rowChanged(from);
}

// Where a record with `values` goes in the sorted rows: after every record
// that does not sort after it.  `skip` leaves out the row being repositioned.
int RecordTable::upperBound(const QStringList &values, int skip) const
{
    int lo = 0;
    int hi = int(m_rows.size()) - (skip >= 0 ? 1 : 0);
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        const int row = (skip >= 0 && mid >= skip) ? mid + 1 : mid;
        if (m_order->less(values, m_rows.at(row)))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

bool RecordTable::inOrder(int row, const QStringList &values) const
{
    if (row > 0 && m_order->less(values, m_rows.at(row - 1)))
        return false;
    return row + 1 >= m_rows.size() || !m_order->less(m_rows.at(row + 1), values);
}

bool RecordTable::deleteRecord()
{
    if (!m_open)
        return false;
    if (m_pending && m_pending->isNew) {
        cancel();
        return false;
    }
    if (m_rows.isEmpty() || m_current < 0)
        return false;
    if (m_beforeDelete && !m_beforeDelete())
        return false;
    // The hook may have worked on the table itself.
    if (!m_open || m_current < 0 || m_current >= m_rows.size() || (m_pending && m_pending->isNew))
        return false;
    m_pending.reset();
    const int row = m_current;
    const bool quiet = paused();
    if (!quiet)
        emit rowAboutToBeRemoved(row);
    m_rows.removeAt(row);
    m_current = std::min(row, int(m_rows.size()) - 1);
    m_bof = m_eof = m_rows.isEmpty();
    if (!quiet)
        emit rowRemoved(row);
    emit afterScroll();
    return true;
}

// ---- order -----------------------------------------------------------------

void RecordTable::sortOn(const QString &field, Qt::CaseSensitivity caseSensitivity)
{
    const int index = fieldIndex(field);
    auto order = std::make_unique<RecordOrder>(
        index, m_fields.at(index).type == RecordField::Type::Int16, caseSensitivity);
    if (!m_open) {
        m_order = std::move(order);
        return;
    }
    settle();
    beginReset();
    m_order = std::move(order);
    QList<int> permutation(m_rows.size());
    std::iota(permutation.begin(), permutation.end(), 0);
    std::stable_sort(permutation.begin(), permutation.end(),
                     [this](int a, int b) { return m_order->less(m_rows.at(a), m_rows.at(b)); });
    QList<QStringList> sorted;
    sorted.reserve(m_rows.size());
    int current = -1;
    for (qsizetype i = 0; i < permutation.size(); ++i) {
        if (permutation.at(i) == m_current)
            current = int(i);
        sorted.append(std::move(m_rows[permutation.at(i)]));
    }
    m_rows = std::move(sorted);
    m_current = current;
    endReset();
    emit afterScroll();
}

int RecordTable::sortField() const { return m_order ? m_order->field() : -1; }

// ---- bulk reads ------------------------------------------------------------

QStringList RecordTable::recordValues(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row);
}

QString RecordTable::storedValue(int row, int field) const
{
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_fields.size())
        return {};
    return m_rows.at(row).at(field);
}

// ---- display updates -------------------------------------------------------

void RecordTable::enableControls()
{
    if (m_pauses == 0)
        return;
    if (--m_pauses > 0)
        return;
    if (m_changedWhilePaused) {
        m_changedWhilePaused = false;
        emit aboutToReset();
        emit wasReset();
    }
    emit controlsEnabled();
}

bool RecordTable::paused()
{
    if (m_pauses == 0)
        return false;
    m_changedWhilePaused = true;
    return true;
}

void RecordTable::beginReset()
{
    if (!paused())
        emit aboutToReset();
}

void RecordTable::endReset()
{
    if (m_pauses == 0)
        emit wasReset();
}
