#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The receive log: the text received from the unit, from which every reply is
// parsed by line number.  It keeps the text exactly as received (single-byte
// characters 0x01-0xFF, line ends untouched); lines are split at CR LF only.
// The read-only text area on the phone-list page merely shows it.
class ReceiveLog : public QObject {
    Q_OBJECT
public:
    explicit ReceiveLog(QObject *parent = nullptr);

    const QString &text() const { return m_text; }
    void setText(const QString &text);
    void append(const QString &text);
    void clear();

    // Line `index` (from 0) of the text split at CR LF; empty when there is none.
    QString line(int index) const;
    // All lines; an empty remainder after the last CR LF is not a line.
    QStringList lines() const;
    int lineCount() const;

signals:
    void changed();

private:
    QString m_text;
};
