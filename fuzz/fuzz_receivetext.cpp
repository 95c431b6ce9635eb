// Received text cut into pieces at arbitrary places, as a serial port or the
// UDP poll delivers it: the first byte of the input chooses the piece sizes.
#include "fuzzsupport.h"

#include "link/commandchannel.h"
#include "link/receivelog.h"

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
    // The parsers read the log by line number.
    for (int i = 0; i < log.lineCount() + 2; ++i)
        (void)log.line(i);
    return 0;
}
