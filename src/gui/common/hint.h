#pragma once

#include <QString>

class QAction;
class QWidget;

// Hints come in two parts: a short tip shown at the control, and the text
// after "|" shown in the status bar while the pointer rests on the control.
// A hint without "|" is both.
QString ShortHint(const QString &hint);
QString LongHint(const QString &hint);

// Sets both parts.  The tool buttons that show an action are also named
// after its short hint, so that a screen reader says what the button does
// now ("Log On", then "Log Off").
void SetHint(QAction *action, const QString &hint);
void SetHint(QWidget *widget, const QString &hint);
