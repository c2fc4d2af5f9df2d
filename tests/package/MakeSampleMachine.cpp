// Writes the sample vending machine the package test buys a drink from: a product priced 120
// yen, its button, a coin slot, an amount display, a product outlet and a change lever, each
// with its program. Usage: package_sample_machine OUT.jhk
#include "EngineRig.h"

#include "document/JhkDocument.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: package_sample_machine OUT.jhk\n", stderr);
        return 2;
    }
    jhk::testing::Rig rig;
    jhk::testing::buildVendingMachine(rig);
    rig.engine.checkAll();
    const jhk::SaveResult written = jhk::saveDocument(argv[1], rig.m);
    if (!written.ok)
        std::fprintf(stderr, "package_sample_machine: %s\n", written.message.c_str());
    return written.ok ? 0 : 1;
}
