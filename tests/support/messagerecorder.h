#pragma once

#include "common/messages.h"

#include <QList>
#include <QString>
#include <QStringList>

// Takes the place of the program's message boxes for the lifetime of the
// object: records every message and answers questions from a queue (No when
// the queue is empty).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    void answerNext(bool yes) { m_answers.append(yes); }
    const QList<MessageService::Message> &messages() const { return m_messages; }
    QStringList texts() const;
    QString last() const { return m_messages.isEmpty() ? QString() : m_messages.last().text; }
    int count() const { return int(m_messages.size()); }
    void clear() { m_messages.clear(); }

private:
    QList<MessageService::Message> m_messages;
    QList<bool> m_answers;
};
