// Received text cut into pieces at arbitrary places, as a serial port or the
// UDP poll delivers it: the first byte of the input chooses the piece sizes.
// However it is cut, the channel holds all of it (NULs removed), the receive
// log shows it (outside bulk transfers) and splits it back into the same
// lines, and the line being assembled is what follows the last line end.
#include "fuzzsupport.h"

#include "link/commandchannel.h"
#include "link/receivelog.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    if (size == 0)
        return 0;
    ReceiveLog log;
    CommandChannel channel(log);
    channel.BulkTransfer = (data[0] & 0x80) != 0;
    channel.RemoteMode = (data[0] & 0x40) != 0;
    const int piece = (data[0] & 0x3F) + 1;
    const QString text = fuzzText(data + 1, size - 1);
    for (qsizetype at = 0; at < text.size(); at += piece)
        channel.ReceiveText(text.mid(at, piece));

    QString whole = text;
    whole.remove(QChar(0));
    if (channel.RxBuffer != whole)
        std::abort();
    const qsizetype lastEnd = whole.lastIndexOf(QLatin1String("\r\n"));
    if (channel.LineBuffer != (lastEnd < 0 ? whole : whole.mid(lastEnd + 2)))
        std::abort();
    if (!channel.BulkTransfer) {
        if (log.text() != whole)
            std::abort();
        QStringList expected = whole.split(QLatin1String("\r\n"));
        if (expected.last().isEmpty())
            expected.removeLast();
        if (log.lines() != expected || log.lineCount() != expected.size())
            std::abort();
        for (int i = 0; i < log.lineCount() + 2; ++i) {
            if (log.line(i) != expected.value(i))
                std::abort();
        }
    }
    return 0;
}
