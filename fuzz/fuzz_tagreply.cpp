// A line from the unit's reader: CheckTagReply gives a ten-digit code or
// nothing, and a code it accepts is the line's first ten characters in the
// unit's form: hexadecimal digits, letters in upper case.
#include "fuzzsupport.h"

#include "rfid/tagcode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = fuzzText(data, size);
    const QString code = CheckTagReply(line);
    if (!code.isEmpty()) {
        if (code.size() != TagCode::kLength || code != line.left(TagCode::kLength).toUpper())
            std::abort();
        for (const QChar c : code) {
            if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
                std::abort();
        }
    }
    for (const QChar c : line)
        (void)NibbleToHexDigit(c);
    return 0;
}
