#include "model/CommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace jhk {

bool japaneseMessages()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0;
    }
    return false;
}

const char *usageText(const Usage &usage)
{
    return japaneseMessages() ? usage.japanese : usage.english;
}

std::optional<int> answerHelpOrVersion(int argc, char *argv[], const char *program, const Usage &usage,
                                       const char *version)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usageText(usage), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", program, version);
            return 0;
        }
    }
    return std::nullopt;
}

int usageError(const char *program, const Usage &usage, const std::string &what)
{
    if (!what.empty())
        std::fprintf(stderr, "%s: %s\n", program, what.c_str());
    std::fputs(usageText(usage), stderr);
    return 2;
}

} // namespace jhk
