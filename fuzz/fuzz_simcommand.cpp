// The simulated unit's command handling: a stream of commands (split at CR)
// from one or two links, against a unit logged on or not.  Whatever comes,
// the unit answers in whole lines; a link that is not logged on hears only
// the identification and the PIN reply; a logged-on link that programmed a
// block reads back what it wrote.
#include "fuzzsupport.h"

#include "simunit.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    UnitOptions options;
    options.model = (data[0] & 1) ? 100 : 1000;
    SimUnit unit(options);
    if (data[0] & 2)
        unit.handle(QStringLiteral("serial"), QByteArrayLiteral("a1234"));
    const QList<QByteArray> commands = fuzzBytes(data + 1, size - 1).split('\r');
    int n = 0;
    for (const QByteArray &command : commands) {
        const QString link = (data[0] & 4) && (n++ & 1) ? QStringLiteral("udp:127.0.0.1") : QStringLiteral("serial");
        const bool wasOn = unit.loggedOn(link);
        const std::optional<QByteArray> reply = unit.handle(link, command);
        if (reply && (reply->isEmpty() || !reply->endsWith(SimUnit::kLineEnd)))
            std::abort();
        if (!wasOn && reply && !command.isEmpty() && !command.startsWith('a'))
            std::abort();
        if (!wasOn && !command.startsWith('a') && unit.loggedOn(link))
            std::abort();
        if (command == "x" && unit.loggedOn(link))
            std::abort();
        // A block the unit took is read back as written.
        if (wasOn && command.startsWith('p') && command.size() > 5 && reply && reply->contains("OK")) {
            const std::optional<QByteArray> back = unit.handle(link, 'r' + command.mid(1, 4));
            if (!back || !back->startsWith('r' + command.mid(1)))
                std::abort();
        }
    }
    return 0;
}
