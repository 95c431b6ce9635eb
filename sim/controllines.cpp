#include "controllines.h"

#include "simulator.h"
#include "unitformats.h"

#include <QList>

namespace {

const QByteArray kHelp = "commands: tag HEX10 | tag-bad HEX10 | event ROOM SOURCE RELAY [NAME] | dump | quit\n"
                         "  ROOM: a room number, incall, error or buttonN; SOURCE: local, remote or rfid\n";

bool allDigits(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

ControlResult tag(Simulator &simulator, const QList<QByteArray> &words, bool wrongCheck)
{
    if (words.size() != 2 || !UnitFormats::IsTagCode(words[1]))
        return {"a tag is ten hexadecimal characters, such as: tag 0123456789\n"};
    const int links = simulator.presentTag(words[1], wrongCheck);
    if (links == 0)
        return {"tag read; no programmer is logged on, so it went nowhere\n"};
    return {"tag line sent on " + QByteArray::number(links) + " link(s)\n"};
}

ControlResult event(Simulator &simulator, const QByteArray &line)
{
    // The name is the rest of the line and may hold blanks.
    const QList<QByteArray> words = line.simplified().split(' ');
    if (words.size() < 4)
        return {"usage: event ROOM SOURCE RELAY [NAME]\n"};
    SimEvent e;
    const QByteArray room = words[1].toLower();
    if (room == "incall") {
        e.kind = SimEvent::Kind::InCall;
    } else if (room == "error") {
        e.kind = SimEvent::Kind::Error;
    } else if (room.startsWith("button") && room.size() == 7) {
        e.kind = SimEvent::Kind::Button;
        e.button = room.at(6);
    } else if (allDigits(words[1]) && words[1].size() <= 6) {
        e.room = words[1];
    } else {
        return {"ROOM is a room number of up to 6 digits, incall, error or buttonN\n"};
    }
    const QByteArray source = words[2].toLower();
    if (source == "local" || source == "0")
        e.source = '0';
    else if (source == "remote" || source == "1")
        e.source = '1';
    else if (source == "rfid" || source == "2")
        e.source = '2';
    else
        return {"SOURCE is local, remote or rfid\n"};
    if (words[3].size() != 1)
        return {"RELAY is one character, such as 1 or 2\n"};
    e.relay = words[3].at(0);
    e.client = words.mid(4).join(' ').left(16);
    simulator.unit().appendEvent(e);
    return {"event " + QByteArray::number(simulator.unit().memory().events.size()) + " logged at "
            + simulator.unit().clock().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1() + '\n'};
}

} // namespace

ControlResult RunControlLine(Simulator &simulator, const QByteArray &rawLine)
{
    const QByteArray line = rawLine.trimmed();
    const QList<QByteArray> words = line.simplified().split(' ');
    const QByteArray verb = words.value(0).toLower();
    if (verb.isEmpty())
        return {};
    if (verb == "tag")
        return tag(simulator, words, false);
    if (verb == "tag-bad")
        return tag(simulator, words, true);
    if (verb == "event")
        return event(simulator, line);
    if (verb == "dump")
        return {simulator.unit().memory().toJson()};
    if (verb == "quit" || verb == "exit")
        return {{}, true};
    if (verb == "help")
        return {kHelp};
    return {"unknown command \"" + verb + "\"; " + kHelp};
}
