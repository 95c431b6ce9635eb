// The block read-back comparison against the simulated unit: data drawn from
// the input is programmed into a block and read back; the reply, received in
// pieces through the channel, must verify, and the same reply with one byte
// of the data changed, or cut short, must not.
#include "fuzzsupport.h"

#include "link/blockaccess.h"
#include "link/commandchannel.h"
#include "link/receivelog.h"
#include "simunit.h"

#include <cstdlib>

namespace {
QString receivedLog(const QByteArray &reply, int piece)
{
    ReceiveLog log;
    CommandChannel channel(log);
    const QString text = QString::fromLatin1(reply);
    for (qsizetype at = 0; at < text.size(); at += piece)
        channel.ReceiveText(text.mid(at, piece));
    return log.text();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    if (size < 4)
        return 0;
    static const char *const settingsBlocks[] = {"0003", "0005", "0008", "0009", "0012", "0013", "0014"};
    const QByteArray block = data[0] & 1 ? QByteArray::number(1408 + data[1] % 128)
                                         : QByteArray(settingsBlocks[data[1] % 7]);
    const int piece = data[2] % 16 + 1;
    const int change = data[3];
    // Block data never holds a control character: it goes inside a command.
    QByteArray bytes = fuzzBytes(data + 4, qMin<size_t>(size - 4, 64));
    for (char &c : bytes)
        c = char(0x20 + quint8(c) % 0xE0);
    if (bytes.isEmpty())
        return 0;
    const QString written = QString::fromLatin1(bytes);

    UnitOptions options;
    options.model = 1000;
    SimUnit unit(options);
    (void)unit.handle(QStringLiteral("serial"), QByteArrayLiteral("a1234"));
    (void)unit.handle(QStringLiteral("serial"), 'p' + block + bytes);
    const std::optional<QByteArray> reply = unit.handle(QStringLiteral("serial"), 'r' + block);
    if (!reply)
        std::abort();
    if (!ReadBackHolds(receivedLog(*reply, piece), written))
        std::abort();

    // One byte of what was written reads back otherwise.
    const int at = 5 + change % bytes.size();
    QByteArray wrong = *reply;
    wrong[at] = wrong.at(at) == 'x' ? 'y' : 'x';
    if (ReadBackHolds(receivedLog(wrong, piece), written))
        std::abort();
    // The read-back line ends before all that was written.
    const QByteArray shortLine = reply->left(at) + "\r\nOK\r\n";
    if (ReadBackHolds(receivedLog(shortLine, piece), written))
        std::abort();
    // No line end at all: nothing came back to compare.
    if (ReadBackHolds(QString::fromLatin1(reply->left(reply->indexOf('\r'))), written))
        std::abort();
    return 0;
}
