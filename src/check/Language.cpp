#include "check/Language.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace jhk {

Language systemLanguage()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char *value = std::getenv(name);
        if (value && *value)
            return std::strncmp(value, "ja", 2) == 0 ? Language::Japanese : Language::English;
    }
    return Language::English;
}

} // namespace jhk
