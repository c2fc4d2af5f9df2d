// Feeds any bytes to the recovery copy reader. It must never crash or read outside the input,
// and a copy it accepts must hold a document the document reader accepts too.
#include "document/JhkDocument.h"
#include "document/RecoveryStore.h"

#include <cstdlib>
#include <memory>

using namespace jhk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const RecoveryRead r = decodeRecoveryCopy(std::vector<std::uint8_t>(data, data + size));
    if (r.machine.has_value() == !r.message.empty())
        std::abort();
    if (r.machine) {
        auto m = std::make_unique<Machine>();
        if (!decodeDocument(r.machine->document, *m).ok)
            std::abort();
        if (encodeRecoveryCopy(*r.machine) != std::vector<std::uint8_t>(data, data + size))
            std::abort();
    }
    return 0;
}
