// Feeds any bytes to the document reader. It must never crash, read outside the input or
// overflow, and it must either read a document the writer can write again or leave the
// machine exactly as it was.
#include "document/JhkDocument.h"

#include <cstdlib>
#include <memory>

using namespace jhk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const EncodeResult untouched = encodeDocument(Machine());
    auto m = std::make_unique<Machine>();
    const LoadResult r = decodeDocument(std::span(data, size), *m);
    const EncodeResult again = encodeDocument(*m);
    if (r.ok != r.message.empty() || !again.ok)
        std::abort();
    if (!r.ok && again.bytes != untouched.bytes)
        std::abort();
    if (r.ok) {
        // What was read reads back the same.
        auto second = std::make_unique<Machine>();
        if (!decodeDocument(again.bytes, *second).ok || encodeDocument(*second).bytes != again.bytes)
            std::abort();
    }
    return 0;
}
