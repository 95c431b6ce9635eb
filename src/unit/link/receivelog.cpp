#include "link/receivelog.h"

namespace {
const QLatin1String kCrLf("\r\n");
}

ReceiveLog::ReceiveLog(QObject *parent) : QObject(parent) {}

void ReceiveLog::setText(const QString &text)
{
    m_text = text;
    emit changed();
}

void ReceiveLog::append(const QString &text)
{
    if (text.isEmpty())
        return;
    m_text += text;
    emit changed();
}

void ReceiveLog::clear()
{
    if (m_text.isEmpty())
        return;
    m_text.clear();
    emit changed();
}

QString ReceiveLog::line(int index) const
{
    if (index < 0)
        return {};
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype end = m_text.indexOf(kCrLf, start);
        if (end < 0)
            return {};
        start = end + 2;
    }
    const qsizetype end = m_text.indexOf(kCrLf, start);
    return m_text.mid(start, end < 0 ? -1 : end - start);
}

QStringList ReceiveLog::lines() const
{
    if (m_text.isEmpty())
        return {};
    QStringList result = m_text.split(kCrLf);
    if (result.last().isEmpty())
        result.removeLast();
    return result;
}

int ReceiveLog::lineCount() const { return int(lines().size()); }
