#pragma once

#include <QPlainTextEdit>
#include <QTimer>

class ReceiveLog;

// Shows the receive log, read-only.  The log keeps the exact text; this view
// only displays it, refreshed at most once per refresh interval.
class ReceiveLogView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kRefreshIntervalMs = 50;

    explicit ReceiveLogView(ReceiveLog &log, QWidget *parent = nullptr);

private:
    void refresh();

    ReceiveLog &m_log;
    QTimer m_refresh;
};
