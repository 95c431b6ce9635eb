#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The simulator's record of the conversation: every command received and
// every reply sent, one line each, with a timestamp, the link, the direction
// and the bytes escaped so that CR, LF, NUL and 0xFF can be seen.
class TrafficLog {
public:
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }

    void received(const QString &link, const QByteArray &bytes) { write(link, "<-", bytes); }
    void sent(const QString &link, const QByteArray &bytes) { write(link, "->", bytes); }
    void note(const QString &text);

    // Printable ASCII as it is, a backslash doubled, CR LF NUL as \r \n \0,
    // every other byte as \xHH.
    static QByteArray escape(const QByteArray &bytes);

private:
    void write(const QString &link, const char *direction, const QByteArray &bytes);

    QFile m_file;
};
