#include "trafficlog.h"

#include <QDateTime>

bool TrafficLog::open(const QString &path, QString *error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *error = QStringLiteral("cannot write the log %1: %2").arg(path, m_file.errorString());
        return false;
    }
    return true;
}

QByteArray TrafficLog::escape(const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto c = quint8(ch);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == 0)
            out += "\\0";
        else if (c >= 0x20 && c < 0x7F)
            out += char(c);
        else
            out += QByteArray("\\x") + hex[c >> 4] + hex[c & 0x0F];
    }
    return out;
}

void TrafficLog::note(const QString &text)
{
    if (!isOpen())
        return;
    m_file.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toLatin1() + " -- " + text.toLatin1() + '\n');
    m_file.flush();
}

void TrafficLog::write(const QString &link, const char *direction, const QByteArray &bytes)
{
    if (!isOpen())
        return;
    m_file.write(QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toLatin1() + ' ' + link.toLatin1() + ' '
                 + direction + ' ' + escape(bytes) + '\n');
    m_file.flush();
}
