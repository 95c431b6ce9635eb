// Reply lines of the settings reads, as the unit (or line noise) may send
// them: every block decoder takes any line, short, long or holding any byte.
#include "fuzzsupport.h"

#include "common/errors.h"
#include "settings/settingsblocks.h"
#include "settings/systemparameters.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = fuzzText(data, size);
    try {
        (void)DecodeSystemParameters(line.mid(5));
    } catch (const AppError &) {
    }
    (void)DecodeRelayCodes(line);
    SpeedDials dials;
    DecodeSpeedDialBlock(line, dials, 0);
    DecodeSpeedDialBlock(line, dials, 1);
    Messages messages;
    for (int block = 0; block < 4; ++block)
        DecodeMessageBlock(line, messages, block);
    (void)DecodeDivertNumbers(line);
    const QString times = DivertTimeCharacters(line);
    for (int i = 0; i + 4 <= times.size(); i += 4)
        (void)FormatHourMinute(SpacesToZeros(times.mid(i, 4)));
    (void)DecodeAccessCodes(line);
    (void)DecodeNibbleByte(line.left(2));
    return 0;
}
