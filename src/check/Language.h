#pragma once

namespace jhk {

// The language of the checker's own texts on the command line (usage, errors): Japanese when
// the system's language is, English otherwise. What the report says about the machines is
// always Japanese, like the program itself.
enum class Language { Japanese, English };

// Japanese when the system's language asks for Japanese messages, as for every command.
Language systemLanguage();

inline const char *pick(Language language, const char *japanese, const char *english)
{
    return language == Language::Japanese ? japanese : english;
}

} // namespace jhk
