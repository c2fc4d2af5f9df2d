// Writes the level-3 sample machine of the printing tests. Usage: print_sample_machine OUT.jhk
#include "SampleMachine.h"

#include "document/JhkDocument.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: print_sample_machine OUT.jhk\n", stderr);
        return 2;
    }
    const jhk::SaveResult saved = jhk::saveDocument(argv[1], *jhk::printtest::sampleMachine());
    if (!saved.ok) {
        std::fprintf(stderr, "%s\n", saved.message.c_str());
        return 1;
    }
    return 0;
}
