#include "common/hint.h"

#include <QAction>
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

void SetHint(QAction *action, const QString &hint)
{
    action->setToolTip(ShortHint(hint));
    action->setStatusTip(LongHint(hint));
    const QString name = ShortHint(hint).isEmpty() ? QString(action->text()).remove(QLatin1Char('&')) : ShortHint(hint);
    for (QObject *shown : action->associatedObjects())
        if (auto *button = qobject_cast<QToolButton *>(shown))
            button->setAccessibleName(name);
}

void SetHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(ShortHint(hint));
    widget->setStatusTip(LongHint(hint));
}
