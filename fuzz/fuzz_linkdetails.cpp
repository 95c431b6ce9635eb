// The link-details file: any bytes decode to a record or to none, and a
// decoded record encodes back to the same 77 bytes it was read from, but for
// what decoding ignores (positions after a field's length).
#include "fuzzsupport.h"

#include "link/linkdetails.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const std::optional<LinkDetails> details = DecodeLinkDetails(bytes);
    if (!details)
        return 0;
    const QByteArray again = EncodeLinkDetails(*details);
    if (again.size() != kLinkDetailsSize)
        std::abort();
    const std::optional<LinkDetails> twice = DecodeLinkDetails(again);
    if (!twice || !(*twice == *details))
        std::abort();
    return 0;
}
