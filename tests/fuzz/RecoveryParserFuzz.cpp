// Feeds any bytes to the recovery copy reader as the inside of a copy: the magic text before
// them and a correct checksum after them, so the mutations reach the entries and the document
// rather than stopping at the checksum (fuzz_recovery_copy keeps trying the checksum itself).
// The reader must never crash or read outside the input, and a copy it accepts must hold a
// document the document reader accepts too and be written back byte for byte.
#include "document/JhkDocument.h"
#include "document/RecoveryStore.h"

#include <cstdlib>
#include <memory>

using namespace jhk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::uint8_t> copy(RecoveryCopyMagic.begin(), RecoveryCopyMagic.end());
    copy.insert(copy.end(), data, data + size);
    const std::uint64_t sum = recoveryCopyChecksum(copy.data(), copy.size());
    for (int i = 0; i < 8; ++i)
        copy.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));

    const RecoveryRead r = decodeRecoveryCopy(copy);
    if (r.machine.has_value() == !r.message.empty())
        std::abort();
    if (r.machine) {
        auto m = std::make_unique<Machine>();
        if (!decodeDocument(r.machine->document, *m).ok)
            std::abort();
        if (encodeRecoveryCopy(*r.machine) != copy)
            std::abort();
    }
    return 0;
}
