#include "model/OptionTable.h"

#include <algorithm>

namespace jhk {

namespace {

// Columns a text takes on a terminal: two for the wide characters of Japanese, one otherwise.
std::size_t columns(const std::string &text)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        n += length >= 3 ? 2 : 1;
        i += length;
    }
    return n;
}

std::string synopsis(const OptionDoc &o, bool japanese)
{
    const char *value = japanese && o.valueJa ? o.valueJa : o.value;
    return *value ? std::string(o.name) + " " + value : std::string(o.name);
}

// Roff takes a backslash as an escape and a hyphen as a hyphen, not a minus.
std::string roff(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\')
            out += "\\e";
        else if (text[i] == '-')
            out += "\\-";
        else
            out += text[i];
        // A line that starts with a dot or a quote would be read as a request.
        if (i == 0 && (out == "." || out == "'"))
            out.insert(0, "\\&");
    }
    return out;
}

} // namespace

std::string optionHelp(std::span<const OptionDoc> options, bool japanese)
{
    // Options with long values put their texts on lines of their own, so that a terminal of
    // 80 columns shows them unbroken.
    constexpr std::size_t WidestBeside = 30;
    std::size_t width = 0;
    for (const OptionDoc &o : options)
        width = std::max(width, columns(synopsis(o, japanese)));
    std::string out;
    if (width > WidestBeside) {
        for (const OptionDoc &o : options)
            out += "  " + synopsis(o, japanese) + "\n        " + (japanese ? o.japanese : o.english) + "\n";
        return out;
    }
    for (const OptionDoc &o : options) {
        const std::string left = synopsis(o, japanese);
        out += "  " + left + std::string(width - columns(left) + 2, ' ') + (japanese ? o.japanese : o.english) + "\n";
    }
    return out;
}

std::string optionManPage(std::span<const OptionDoc> options)
{
    std::string out;
    for (const OptionDoc &o : options) {
        out += ".TP\n";
        out += *o.value ? ".BI " + roff(o.name) + " \" " + roff(o.value) + "\"\n" : ".B " + roff(o.name) + "\n";
        out += roff(o.english) + "\n";
    }
    return out;
}

std::string fillManPage(const std::string &manTemplate, std::span<const OptionDoc> options)
{
    const std::string mark = "@OPTIONS@\n";
    std::string out = manTemplate;
    if (const auto at = out.find(mark); at != std::string::npos)
        out.replace(at, mark.size(), optionManPage(options));
    return out;
}

} // namespace jhk
