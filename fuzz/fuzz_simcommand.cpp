// The simulated unit's command handling: a stream of commands (split at CR)
// from one or two links, against a unit logged on or not.
#include "fuzzsupport.h"

#include "simunit.h"

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
        (void)unit.handle(link, command);
    }
    return 0;
}
