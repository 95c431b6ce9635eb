#include "simmodem.h"

namespace {
QByteArray result(const char *text) { return QByteArray("\r\n") + text + "\r\n"; }
} // namespace

SimModem::SimModem(int connectDelayMs, int idleHangUpMs, QObject *parent) : QObject(parent)
{
    m_ring.setSingleShot(true);
    m_ring.setInterval(qMax(0, connectDelayMs));
    connect(&m_ring, &QTimer::timeout, this, [this] {
        m_state = State::Connected;
        m_idle.start();
        emit output(result("CONNECT 9600"));
    });
    m_idle.setSingleShot(true);
    m_idle.setTimerType(Qt::PreciseTimer);
    m_idle.setInterval(qMax(1, idleHangUpMs));
    connect(&m_idle, &QTimer::timeout, this, &SimModem::hangUp);
}

QByteArray SimModem::lineInput(const QByteArray &bytes)
{
    if (m_state == State::Dialling) {
        // Any key abandons a call that is still ringing.
        m_ring.stop();
        m_state = State::Command;
        return {};
    }
    return m_state == State::Command && m_echo ? bytes : QByteArray();
}

QByteArray SimModem::command(const QByteArray &line)
{
    const QByteArray text = line.trimmed().toLower();
    if (text.isEmpty())
        return {};
    if (!text.startsWith("at"))
        return result("ERROR");
    if (text == "atz") {
        m_echo = true;
        return result("OK");
    }
    if (text == "ate0" || text == "ate") {
        m_echo = false;
        return result("OK");
    }
    if (text == "ate1") {
        m_echo = true;
        return result("OK");
    }
    if (text.startsWith("atd")) {
        if (text.size() == 3)
            return result("NO DIALTONE");
        m_state = State::Dialling;
        m_ring.start();
        return {};
    }
    return result("OK");
}

void SimModem::dataPassed()
{
    if (m_state == State::Connected)
        m_idle.start();
}

void SimModem::hangUp()
{
    m_ring.stop();
    m_idle.stop();
    m_state = State::Command;
}
