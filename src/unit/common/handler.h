#pragma once

#include "common/errors.h"
#include "common/messages.h"

#include <QObject>
#include <exception>
#include <utility>

// Runs one handler.  An error it does not catch abandons it here and is shown
// by the general error report; the program carries on.  Exceptions never
// travel through Qt's own frames: every connection to a handler goes through
// this wrapper.
template <class F>
void guarded(F &&handler)
{
    try {
        std::forward<F>(handler)();
    } catch (const OnceReportedError &e) {
        if (e.takeReport())
            MessageService::error(e.text());
    } catch (const AppError &e) {
        MessageService::error(e.text());
    } catch (const std::exception &e) {
        MessageService::error(QString::fromLocal8Bit(e.what()));
    }
}

// connect() for handlers: the slot runs inside guarded().
template <class Sender, class Signal, class F>
QMetaObject::Connection connectHandler(Sender *sender, Signal signal, QObject *context, F &&handler)
{
    return QObject::connect(sender, signal, context,
                            [h = std::forward<F>(handler)](auto &&...) { guarded(h); });
}
