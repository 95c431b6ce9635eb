#include "common/messages.h"

#include <cstdio>

namespace {
MessageService::Handler &handlerSlot()
{
    static MessageService::Handler handler;
    return handler;
}
MessageService::Handler &presenterSlot()
{
    static MessageService::Handler presenter;
    return presenter;
}
} // namespace

void MessageService::inform(const QString &text) { show(Kind::Information, text); }
void MessageService::error(const QString &text) { show(Kind::Error, text); }
bool MessageService::ask(const QString &text) { return show(Kind::Question, text); }

void MessageService::setHandler(Handler handler) { handlerSlot() = std::move(handler); }
void MessageService::resetHandler() { handlerSlot() = nullptr; }
void MessageService::setPresenter(Handler presenter) { presenterSlot() = std::move(presenter); }
bool MessageService::hasPresenter() { return bool(presenterSlot()); }

bool MessageService::show(Kind kind, const QString &text)
{
    if (const Handler &handler = handlerSlot())
        return handler(Message{kind, text});
    if (const Handler &presenter = presenterSlot())
        return presenter(Message{kind, text});
    // No front end to ask: say it where a person or a log will see it, and
    // take the answer that changes nothing.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::fprintf(stderr, "%s\n", shown.toLocal8Bit().constData());
    return false;
}
