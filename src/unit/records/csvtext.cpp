#include "records/csvtext.h"

#include "records/recordtable.h"

namespace {

const QChar kQuote = QLatin1Char('"');
const QChar kComma = QLatin1Char(',');

bool endsLine(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0; }

QString escape(const QString &value)
{
    QString out;
    out.reserve(value.size() + 4);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '%': out += QLatin1String("%%"); break;
        case '\r': out += QLatin1String("%c"); break;
        case '\n': out += QLatin1String("%n"); break;
        case 0: out += QLatin1String("%0"); break;
        default: out += c; break;
        }
    }
    return out;
}

QString unescape(QStringView value)
{
    if (!value.contains(QLatin1Char('%')))
        return value.toString();
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('%') || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        switch (value.at(i + 1).unicode()) {
        case '%': out += QLatin1Char('%'); ++i; break;
        case 'c': out += QLatin1Char('\r'); ++i; break;
        case 'n': out += QLatin1Char('\n'); ++i; break;
        case '0': out += QChar(0); ++i; break;
        default: out += c; break; // kept as it stands, with what follows
        }
    }
    return out;
}

// A quoted value starting at `start` (its opening quote): the value and the
// position of the comma or line end after its closing quote, or nothing when
// the quotes are not well formed (then the value is read bare).
bool readQuoted(QStringView line, qsizetype start, QString &value, qsizetype &end)
{
    QString text;
    qsizetype i = start + 1;
    while (i < line.size()) {
        const QChar c = line.at(i);
        if (c == kQuote) {
            if (i + 1 < line.size() && line.at(i + 1) == kQuote) {
                text += kQuote;
                i += 2;
                continue;
            }
            if (i + 1 == line.size() || line.at(i + 1) == kComma) {
                value = std::move(text);
                end = i + 1;
                return true;
            }
            return false;
        }
        text += c;
        ++i;
    }
    return false;
}

} // namespace

QString CsvEncodeValue(const QString &value, CsvQuoting quoting)
{
    QString text = escape(value);
    if (quoting == CsvQuoting::Never || (!text.contains(kComma) && !text.startsWith(kQuote)))
        return text;
    text.replace(kQuote, QLatin1String("\"\""));
    return kQuote + text + kQuote;
}

QString CsvJoinLine(const QStringList &values, CsvQuoting quoting)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += kComma;
        line += CsvEncodeValue(values.at(i), quoting);
    }
    return line;
}

QStringList CsvSplitLine(const QString &line)
{
    QStringList values;
    const QStringView view(line);
    qsizetype pos = 0;
    while (true) {
        if (pos < view.size() && view.at(pos) == kQuote) {
            QString quoted;
            qsizetype end = 0;
            if (readQuoted(view, pos, quoted, end)) {
                values.append(unescape(quoted));
                if (end >= view.size())
                    break;
                pos = end + 1; // past the comma
                continue;
            }
        }
        const qsizetype comma = view.indexOf(kComma, pos);
        if (comma < 0) {
            values.append(unescape(view.mid(pos)));
            break;
        }
        values.append(unescape(view.mid(pos, comma - pos)));
        pos = comma + 1;
    }
    return values;
}

QStringList CsvLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && !endsLine(text.at(i)))
            continue;
        if (i > start)
            lines.append(text.mid(start, i - start));
        start = i + 1;
    }
    return lines;
}

QByteArray SaveCsvText(const RecordTable &table, CsvQuoting quoting)
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = table.fieldNames().join(kComma) + lineEnd;
    const int count = table.recordCount();
    text.reserve(text.size() + qsizetype(count) * 64);
    for (int row = 0; row < count; ++row) {
        text += CsvJoinLine(table.recordValues(row), quoting);
        text += lineEnd;
    }
    return text.toLatin1();
}

int LoadCsvText(RecordTable &table, const QByteArray &bytes)
{
    const QStringList lines = CsvLines(QString::fromLatin1(bytes));
    if (lines.isEmpty())
        return 0;
    // Field of each column, or -1 for a column that names none.
    QList<int> columns;
    for (const QString &name : CsvSplitLine(lines.first()))
        columns.append(table.findField(name));

    int appended = 0;
    table.disableControls();
    try {
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList values = CsvSplitLine(lines.at(i));
            table.append();
            const qsizetype n = qMin(values.size(), columns.size());
            for (qsizetype c = 0; c < n; ++c) {
                if (columns.at(c) >= 0 && !values.at(c).isEmpty())
                    table.setValue(columns.at(c), values.at(c));
            }
            table.store();
            ++appended;
        }
    } catch (...) {
        table.cancel();
        table.enableControls();
        throw;
    }
    table.enableControls();
    return appended;
}
