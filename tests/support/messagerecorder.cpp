#include "messagerecorder.h"

MessageRecorder::MessageRecorder()
{
    MessageService::setHandler([this](const MessageService::Message &m) {
        m_messages.append(m);
        return m.kind == MessageService::Kind::Question && !m_answers.isEmpty() ? m_answers.takeFirst()
                                                                                : false;
    });
}

MessageRecorder::~MessageRecorder() { MessageService::resetHandler(); }

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const auto &m : m_messages)
        result.append(m.text);
    return result;
}
