#pragma once

#include <QPlainTextEdit>
#include <QTimer>

class ReceiveLog;

// Shows the receive log, read-only.  The log keeps the exact text; this view
// only displays it, refreshed at most once per pass of the event loop.
class ReceiveLogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ReceiveLogView(ReceiveLog &log, QWidget *parent = nullptr);

private:
    void refresh();

    ReceiveLog &m_log;
    QTimer m_refresh;
};
