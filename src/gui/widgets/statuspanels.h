#pragma once

#include <QStatusBar>

class QLabel;

// The main window's status bar: panel 0 (320 px) for status messages and the
// long part of hints, panel 1 (50 px) for the last command sent.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget *parent = nullptr);

    // The program's own text of a panel (not a hint shown over it).
    QString panel(int index) const;
    void setPanel(int index, const QString &text);

    // A control's long hint while the pointer rests on it; an empty hint
    // (the pointer left) brings the panel's own text back.  Panel 0 shows
    // whichever came last, a hint or a status text.
    void showHint(const QString &hint);
    // What panel 0 shows right now (a hint or the panel's own text).
    QString shownText(int index) const;

private:
    QLabel *m_labels[2];
    QString m_texts[2];
};
