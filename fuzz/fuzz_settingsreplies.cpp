// Reply lines of the settings reads, as the unit (or line noise) may send
// them: every block decoder takes any line, short, long or holding any byte.
// What a decoder reads from a whole block, written back by its encoder, read
// again and written again, gives the same block: settings read and written
// back twice do not drift.
#include "fuzzsupport.h"

#include "common/errors.h"
#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"

#include <cstdlib>

namespace {
// A read reply line carrying `data` as its block's data.
QString replyLine(const QString &data) { return QStringLiteral("r0000") + data; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = fuzzText(data, size);
    try {
        (void)DecodeSystemParameters(line.mid(5));
    } catch (const AppError &) {
    }
    const RelayCodes codes = DecodeRelayCodes(line);
    SpeedDials dials;
    DecodeSpeedDialBlock(line, dials, 0);
    DecodeSpeedDialBlock(line, dials, 1);
    Messages messages;
    for (int block = 0; block < 4; ++block)
        DecodeMessageBlock(line, messages, block);
    const DivertNumbers diverts = DecodeDivertNumbers(line);
    const QString times = DivertTimeCharacters(line);
    for (int i = 0; i + 4 <= times.size(); i += 4)
        (void)FormatHourMinute(SpacesToZeros(times.mid(i, 4)));
    const AccessCodes access = DecodeAccessCodes(line);
    (void)DecodeNibbleByte(line.left(2));

    // The round trips, for a line that holds a whole block.  The boxes show
    // what the unit holds and are written back as dial digits: a second read
    // of what was written must write the same block again, and messages come
    // back exactly.
    if (line.size() < 5 + UnitContract::kBlockDataLength)
        return 0;
    const QString relay = EncodeRelayCodes(codes);
    if (EncodeRelayCodes(DecodeRelayCodes(replyLine(relay))) != relay)
        std::abort();
    for (int block = 0; block < 2; ++block) {
        const QString written = EncodeSpeedDialBlock(dials, block);
        SpeedDials again = dials;
        DecodeSpeedDialBlock(replyLine(written), again, block);
        if (EncodeSpeedDialBlock(again, block) != written)
            std::abort();
    }
    for (int block = 0; block < 4; ++block) {
        Messages again = messages;
        DecodeMessageBlock(replyLine(EncodeMessageBlock(messages, block)), again, block);
        if (again != messages)
            std::abort();
    }
    const QString divert = EncodeDivertNumbers(diverts);
    if (EncodeDivertNumbers(DecodeDivertNumbers(replyLine(divert))) != divert)
        std::abort();
    const QString pins = EncodeAccessCodes(access);
    if (EncodeAccessCodes(DecodeAccessCodes(replyLine(pins))) != pins)
        std::abort();
    return 0;
}
