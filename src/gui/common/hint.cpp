#include "common/hint.h"

#include <QAction>
#include <QCoreApplication>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QWidget>

QString ShortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

namespace {
// The status bar shows a control's long hint when the pointer comes to rest
// on it; a hint that changes under the resting pointer (the lamp after a
// log-off) is shown anew, as the pointer would find it now.
void showChangedHint(QWidget *widget, const QString &longHint)
{
    if (!widget->underMouse())
        return;
    QStatusTipEvent tip(longHint);
    QCoreApplication::sendEvent(widget, &tip);
}
} // namespace

void SetHint(QAction *action, const QString &hint)
{
    const bool changed = action->statusTip() != LongHint(hint);
    action->setToolTip(ShortHint(hint));
    action->setStatusTip(LongHint(hint));
    const QString name = ShortHint(hint).isEmpty() ? QString(action->text()).remove(QLatin1Char('&')) : ShortHint(hint);
    for (QObject *shown : action->associatedObjects()) {
        if (auto *button = qobject_cast<QToolButton *>(shown)) {
            button->setAccessibleName(name);
            if (changed)
                showChangedHint(button, LongHint(hint));
        }
    }
}

void SetHint(QWidget *widget, const QString &hint)
{
    const bool changed = widget->statusTip() != LongHint(hint);
    widget->setToolTip(ShortHint(hint));
    widget->setStatusTip(LongHint(hint));
    if (changed)
        showChangedHint(widget, LongHint(hint));
}
