#include "widgets/receivelogview.h"

#include "link/receivelog.h"

#include <QScrollBar>

ReceiveLogView::ReceiveLogView(ReceiveLog &log, QWidget *parent) : QPlainTextEdit(parent), m_log(log)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::ClickFocus); // not reached by the Tab key
    QPalette grey = palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Button));
    setPalette(grey);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    setFont(small);

    // A transfer changes the log for every piece the line delivers, a few
    // bytes at a time at 57600 baud, and a bulk transfer replaces its whole
    // text with the line count each time: redrawing on every change cost more
    // processor time than the transfer itself.  The view catches up with the
    // log within a refresh interval instead; a change never restarts the
    // pending refresh, so a steady stream of text is still shown as it comes.
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshIntervalMs);
    connect(&m_refresh, &QTimer::timeout, this, &ReceiveLogView::refresh);
    connect(&m_log, &ReceiveLog::changed, this, [this] {
        if (!m_refresh.isActive())
            m_refresh.start();
    });
}

void ReceiveLogView::refresh()
{
    QString shown = m_log.text();
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    // Stray control characters would be drawn as boxes or break lines; show them as dots.
    for (QChar &c : shown) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            c = QLatin1Char('.');
    }
    setPlainText(shown);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
