// document_seeds FOLDER: writes a few valid documents into FOLDER for the reader's fuzzer.
#include "Machines.h"

#include "model/Creation.h"

#include <cstdio>
#include <string>

using namespace jhk;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
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
    }
    return 0;
}
