// Feeds any bytes to both directions of the code page 932 codec. A text that encodes must
// decode to what was given (lookalikes in their full-width forms), and decoding never reads
// past the bytes.
#include "document/Cp932.h"

#include <cstdlib>

using namespace jhk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const Cp932Encoding e = utf8ToCp932(input);
    if (e.ok && cp932ToUtf8(e.bytes) != mapCp932Lookalikes(input))
        std::abort();
    if (!e.ok && !e.bytes.empty())
        std::abort();
    if (const auto text = cp932ToUtf8(input)) {
        const Cp932Encoding back = utf8ToCp932(*text);
        if (back.ok && cp932ToUtf8(back.bytes) != *text)
            std::abort();
    }
    return 0;
}
