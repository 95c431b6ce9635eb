#include "events/eventdecoding.h"

#include "common/convert.h"
#include "common/errors.h"
#include "events/eventtable.h"
#include "records/recordtable.h"

#include <QLatin1String>

#include <limits>

namespace {
constexpr QChar kErasedByte = QChar(0xFF);

// Puts the table's display updates back on however the caller leaves.
class PausedDisplay {
public:
    explicit PausedDisplay(RecordTable &table) : m_table(table) { m_table.disableControls(); }
    ~PausedDisplay() { m_table.enableControls(); }
    PausedDisplay(const PausedDisplay &) = delete;
    PausedDisplay &operator=(const PausedDisplay &) = delete;

private:
    RecordTable &m_table;
};
} // namespace

QString HexToDecimalDigits(const QString &hex, int count)
{
    const int value = StrToInt(QLatin1Char('$') + hex);
    return (QString(12, QLatin1Char('0')) + QString::number(value)).right(count);
}

QString FormatHexTriple(const QString &six, QChar separator)
{
    if (six.size() != 6)
        return QString();
    QString result;
    for (int pair = 0; pair < 3; ++pair)
        result += HexToDecimalDigits(six.mid(pair * 2, 2), 2) + separator;
    result.chop(1);
    return result;
}

QString DecodeEventKind(const QString &field)
{
    if (field.size() != EventLineLayout::KindLength)
        return QStringLiteral("error");
    switch (field.at(0).unicode()) {
    case 'B':
        return QStringLiteral("InCall");
    case 'A':
        return QStringLiteral("Butt.") + field.at(3);
    case 'C':
        return QStringLiteral("error");
    default:
        break;
    }
    // The room's digits travel as the second characters of six pairs; an
    // unused pair is "FF" (or erased memory).
    QString room;
    for (int i = 1; i < EventLineLayout::KindLength; i += 2) {
        const QChar c = field.at(i);
        if (c == QLatin1Char('F') || c == kErasedByte)
            break;
        room += c;
    }
    return room;
}

QString EventSourceText(QChar code)
{
    switch (code.unicode()) {
    case '0':
        return QStringLiteral("local");
    case '1':
        return QStringLiteral("Remote");
    case '2':
        return QStringLiteral("RF-ID");
    default:
        return QStringLiteral("Error");
    }
}

void AppendEventRecord(RecordTable &table, const QString &line, int number)
{
    using L = EventLineLayout;
    // Everything is decoded before the record is started, so that a bad line
    // leaves no half-filled record behind.
    const QString room = DecodeEventKind(line.mid(L::KindStart, L::KindLength)).left(EventFields::RoomNumberWidth);
    const QString date = FormatHexTriple(line.mid(L::DateStart, L::TripleLength), QLatin1Char('/'));
    const QString time = FormatHexTriple(line.mid(L::TimeStart, L::TripleLength), QLatin1Char(':'));
    const QString relay = line.mid(L::Relay, 1);
    const QChar kind = line.size() > L::KindStart ? line.at(L::KindStart) : QChar();
    const bool roomEvent = kind != QLatin1Char('A') && kind != QLatin1Char('B') && kind != QLatin1Char('C');
    const QString client = roomEvent ? line.mid(L::ClientStart, L::ClientLength) : room;
    const QString source = EventSourceText(line.size() > L::Source ? line.at(L::Source) : QChar());
    if (number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max())
        throw AppError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is -32768 to 32767")
                           .arg(number)
                           .arg(EventFields::Event));

    table.append();
    table.setInt(EventFields::Event, number);
    table.setValue(EventFields::RoomNumber, room);
    table.setValue(EventFields::Date, date);
    table.setValue(EventFields::Time, time);
    table.setValue(EventFields::RlyNo, relay);
    table.setValue(EventFields::Source, source);
    table.setValue(EventFields::Client, client);
    table.store();
}

QStringList EventDumpLines(const QString &dump)
{
    QStringList lines = dump.split(QLatin1String("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

int AppendEventDump(RecordTable &table, const QStringList &lines)
{
    PausedDisplay paused(table);
    int appended = 0;
    for (int i = 1; i + 1 < lines.size(); ++i) {
        AppendEventRecord(table, lines.at(i), i);
        ++appended;
    }
    return appended;
}

QString ClockReplyTime(const QString &line)
{
    using L = ClockReplyLayout;
    return FormatHexTriple(line.mid(L::Hours, 2) + line.mid(L::Minutes, 2) + line.mid(L::Seconds, 2),
                           QLatin1Char(':'));
}

QString ClockReplyDate(const QString &line)
{
    using L = ClockReplyLayout;
    return FormatHexTriple(line.mid(L::DateStart, 6), QLatin1Char('/'));
}
