#pragma once

#include "unitmemory.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

// What the simulated unit is and which faults it shows.
struct UnitOptions {
    int model = 500;             // 100, 200, 500 or 1000: the directory's size
    QByteArray modelText;        // identification line 3 instead of the model's own text
    QByteArray pin = "1234";
    QByteArray dropCommands;     // commands starting with one of these letters get no answer
    int stallAfter = -1;         // a dump stops after this many lines (-1: never)
    bool refuseG = false;        // every tag block write is answered "Error"
    bool corruptReadback = false; // a block read returns altered data
    bool ignoreKeepAlive = false; // a bare CR on line gets no answer
    // Programming mode ends by itself after this long without a command, as
    // it does on a unit whose programmer went away without logging off.
    int sessionTimeoutMs = 60000;
};

// The unit's logic, with no input or output of its own: a command text
// (without its CR) goes in, the reply text (lines ended by CR LF) comes out,
// or nothing when the unit does not answer.  Each link ("serial", "udp:...")
// has its own log-on state; the memory is shared.
class SimUnit {
public:
    static inline const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

    explicit SimUnit(UnitOptions options = {}, UnitMemory memory = {});

    std::optional<QByteArray> handle(const QString &link, const QByteArray &command);

    bool loggedOn(const QString &link) const;
    bool loggedOn() const; // on any link
    void logOff(const QString &link);

    // The model text of identification line 3.
    QByteArray modelLine() const;
    // The highest directory slot address of the model.
    int directoryEndAddress() const;
    static int directoryEndAddress(int model);

    // The unit's clock: the PC's, moved by the memory's offset.
    QDateTime clock() const;
    // The PC's clock (tests set their own).
    void setNowSource(std::function<QDateTime()> now) { m_now = std::move(now); }

    // A tag is held to the reader: the line the unit sends for it.  When the
    // tag is in the tag area, its room's door opens and an RF-ID event is
    // logged.
    QByteArray presentTag(const QByteArray &code, bool wrongCheck);
    // Appends an event at the unit's current clock.
    void appendEvent(SimEvent event);

    // Told why a command got no answer or an "Error" where the unit is
    // strict (a dropped letter, a block of the wrong length).
    void setRefusalSink(std::function<void(const QString &link, const QString &why)> sink)
    {
        m_refused = std::move(sink);
    }

    UnitOptions &options() { return m_options; }
    const UnitOptions &options() const { return m_options; }
    UnitMemory &memory() { return m_memory; }
    const UnitMemory &memory() const { return m_memory; }

private:
    QByteArray identification() const;
    QByteArray readBlock(const QByteArray &command) const;
    QByteArray programBlock(const QByteArray &command);
    QByteArray dumpBlocks(const QByteArray &command) const;
    QByteArray writeDirectorySlot(const QByteArray &command);
    QByteArray clockCommand(const QByteArray &command);
    QByteArray dumpEvents() const;
    QByteArray dumpTags(const QByteArray &command) const;
    QByteArray writeTagBlock(const QByteArray &command);
    void refuse(const QString &why) const;
    QByteArray directoryLine(int address) const;
    bool isDirectoryBlock(int block) const;
    QByteArray lines(const QList<QByteArray> &lines, bool dump) const;
    qint64 nowMs() const;

    UnitOptions m_options;
    UnitMemory m_memory;
    std::function<QDateTime()> m_now;
    std::function<void(const QString &, const QString &)> m_refused;
    QString m_link; // the link of the command being handled
    QHash<QString, qint64> m_sessions; // link -> time of its last command (ms), while logged on
};
