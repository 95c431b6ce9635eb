#include "link/blockaccess.h"

#include "link/commandchannel.h"
#include "link/encodings.h"
#include "link/receivelog.h"
#include "link/unitcontract.h"

namespace {
constexpr int kRequestSteps = 20; // 1728 ms
constexpr int kVerifySteps = 10;  // 864 ms
constexpr int kProgramSteps = 15; // 1296 ms
constexpr int kProgramAttempts = 4;
} // namespace

void RequestBlock(CommandChannel &channel, const QString &block)
{
    channel.RxLog().clear();
    channel.SendCommand(UnitContract::ReadBlockCommand(block));
    channel.LineComplete = false;
    channel.RxBuffer.clear();
    channel.WaitReply(kRequestSteps);
}

bool VerifyBlock(CommandChannel &channel, const QString &block, const QString &data)
{
    channel.SendCommand(UnitContract::ReadBlockCommand(block));
    channel.LineComplete = false;
    channel.RxBuffer.clear();
    // Cleared after the send: whatever was still arriving from the previous
    // command must not stand in line 0 in place of this block's data.
    channel.RxLog().clear();
    channel.WaitReply(kVerifySteps);

    return ReadBackHolds(channel.RxLog().text(), data);
}

bool ReadBackHolds(const QString &logText, const QString &data)
{
    // Without a read-back line there is nothing to compare: data that is
    // empty, or starts with NUL, would otherwise verify against silence.
    const qsizetype lineEnd = logText.indexOf(UnitContract::kReplyLineEnd);
    if (lineEnd < 0)
        return false;
    // The unit may send more than was written (a 32-character block reads
    // back as 64): only as much as was written is compared.
    const QString got = logText.left(lineEnd).mid(UnitContract::kDataOffset, data.size());
    return got == CutAtNul(data);
}

bool ProgramBlock(CommandChannel &channel, const QString &block, const QString &data)
{
    const QString command = UnitContract::ProgramBlockCommand(block, data);
    const bool secret = block == UnitContract::kPinBlock;
    for (int attempt = 0; attempt < kProgramAttempts; ++attempt) {
        channel.RxLog().clear();
        if (secret) {
            // The unit did get a command: the keep-alive must not cut into
            // this wait, although the command itself is never shown.
            channel.KeepAliveTicks = 0;
            channel.SendRaw(command);
        } else {
            channel.SendCommand(command);
        }
        channel.WaitReply(kProgramSteps);
        if (channel.ReplyReady && VerifyBlock(channel, block, data))
            return true;
    }
    return false;
}
