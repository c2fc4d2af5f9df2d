// jihankobo-manpage PROGRAM TEMPLATE: prints the manual page of jihankobo, jihankobo-check or
// jihankobo-sim, its options part written from the same table as the program's --help.
#include "check/CheckCommandLine.h"
#include "model/DesktopUsage.h"
#include "model/OptionTable.h"
#include "sim/SimUsage.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::cerr << "usage: jihankobo-manpage jihankobo|jihankobo-check|jihankobo-sim TEMPLATE\n";
        return 2;
    }
    const std::string program = argv[1];
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in || (program != "jihankobo" && program != "jihankobo-check" && program != "jihankobo-sim")) {
        std::cerr << "jihankobo-manpage: cannot write the page of " << program << " from " << argv[2] << '\n';
        return 2;
    }
    const auto options = program == "jihankobo"         ? jhk::desktopOptions()
                         : program == "jihankobo-check" ? jhk::checkOptions()
                                                        : jhk::simOptions();
    std::cout << jhk::fillManPage(text.str(), options);
    return std::cout ? 0 : 1;
}
