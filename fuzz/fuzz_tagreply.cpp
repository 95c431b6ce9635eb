// A line from the unit's reader: CheckTagReply gives a ten-digit code or
// nothing, and a code it accepts is the line's first ten characters.
#include "fuzzsupport.h"

#include "rfid/tagcode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = fuzzText(data, size);
    const QString code = CheckTagReply(line);
    if (!code.isEmpty() && (code.size() != TagCode::kLength || !line.startsWith(code)))
        std::abort();
    for (const QChar c : line)
        (void)NibbleToHexDigit(c);
    return 0;
}
