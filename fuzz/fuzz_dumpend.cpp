// The checks that end the directory dump and the event dump, as the waits
// make them: after each piece of received text.  The first byte of the input
// chooses where the text breaks into pieces.  After each piece that ends a
// line, the answer must be the one the text received so far gives when it
// arrives in one piece (the whole-text reference); the directory check must
// agree with the rule written out below after every piece.
#include "fuzzsupport.h"

#include "directory/directorytransferrules.h"
#include "events/eventdownload.h"
#include "link/commandchannel.h"
#include "link/receivelog.h"

#include <QRandomGenerator>

#include <cstdlib>

namespace {
// The directory dump has ended when the text ends a line, and that last line
// holds "OK" but does not begin with four hexadecimal digits (a slot line).
bool directoryReference(const QString &text)
{
    if (!text.endsWith(QLatin1String("\r\n")))
        return false;
    const QStringList lines = text.split(QLatin1String("\r\n"));
    const QString last = lines.at(lines.size() - 2);
    bool slot = last.size() >= 4;
    for (int i = 0; slot && i < 4; ++i)
        slot = QStringLiteral("0123456789abcdefABCDEF").contains(last.at(i));
    return last.contains(QLatin1String("OK")) && !slot;
}

bool eventEndedInOnePiece(const QString &text)
{
    ReceiveLog log;
    CommandChannel channel(log);
    channel.BulkTransfer = true;
    channel.ReceiveText(text);
    return EventDumpEnded(channel);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    if (size < 2)
        return 0;
    QRandomGenerator split(quint32(data[0]) | quint32(data[1]) << 8);
    const QString text = fuzzText(data + 2, size - 2);
    ReceiveLog log;
    CommandChannel channel(log);
    channel.BulkTransfer = true;
    QString received;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype piece = 1 + split.bounded(qMax<qsizetype>(1, qMin<qsizetype>(24, text.size() - at)));
        const QString part = text.mid(at, piece);
        at += piece;
        channel.ReceiveText(part);
        received += part;
        QString whole = received;
        whole.remove(QChar(0));
        if (channel.RxBuffer != whole)
            std::abort();
        if (DirectoryDumpEnded(channel.RxBuffer) != directoryReference(whole))
            std::abort();
        // Once the closing line has come in full, the answer is the one the
        // whole text gives; before that, an end seen in pieces is one the
        // whole text shows too.
        const bool ended = EventDumpEnded(channel);
        const bool reference = eventEndedInOnePiece(whole);
        if (whole.endsWith(QLatin1String("\r\n")) ? ended != reference : ended && !reference)
            std::abort();
    }
    return 0;
}
