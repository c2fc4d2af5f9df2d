// document_seeds FOLDER [RECOVERY_FOLDER [COPY_FOLDER]]: writes a few valid documents into
// FOLDER for the reader's fuzzer, the insides of recovery copies of them (without the magic text
// and the checksum) into RECOVERY_FOLDER for fuzz_recovery_parser, and the whole copies into
// COPY_FOLDER for fuzz_recovery_copy.
#include "Machines.h"

#include "document/RecoveryStore.h"
#include "model/Creation.h"

#include <cstdio>
#include <fstream>
#include <string>

using namespace jhk;

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s FOLDER [RECOVERY_FOLDER [COPY_FOLDER]]\n", argv[0]);
        return 2;
    }
    auto level1 = testing::startupMachine();
    level1->app.Level = 1;
    level1->app.Step = 3;
    for (int kind : {KindButton, KindCoinSlot, KindLever, KindCounter})
        createPart(*level1, kind);
    level1->app.LabelCount = 1;
    createLabel(*level1, 1, 900, 240);

    int n = 0;
    for (const auto &m : {testing::startupMachine(), testing::fullMachine(), std::move(level1)}) {
        const std::string path = std::string(argv[1]) + "/seed" + std::to_string(n++) + ".jhk";
        const SaveResult r = saveDocument(path, *m);
        if (!r.ok) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), r.message.c_str());
            return 1;
        }
        if (argc >= 3) {
            const EncodeResult document = encodeDocument(*m);
            const std::vector<std::uint8_t> copy =
                encodeRecoveryCopy({document.bytes, {{4, {'B', 'M', 1, 2, 3}}}});
            std::ofstream(std::string(argv[2]) + "/copy" + std::to_string(n) + ".bin", std::ios::binary)
                .write(reinterpret_cast<const char *>(copy.data()) + RecoveryCopyMagic.size(),
                       static_cast<std::streamsize>(copy.size() - RecoveryCopyMagic.size() - 8));
            if (argc == 4)
                std::ofstream(std::string(argv[3]) + "/copy" + std::to_string(n) + ".jhr", std::ios::binary)
                    .write(reinterpret_cast<const char *>(copy.data()), static_cast<std::streamsize>(copy.size()));
        }
    }
    return 0;
}
