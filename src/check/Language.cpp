#include "check/Language.h"

#include "model/CommandLine.h"

namespace jhk {

Language systemLanguage()
{
    return japaneseMessages() ? Language::Japanese : Language::English;
}

} // namespace jhk
