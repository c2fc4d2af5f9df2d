#include "check/Reports.h"

namespace jhk {

std::string terminalText(const std::string &text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    auto escaped = [](unsigned int c) { return std::string("\\x") + Hex[(c >> 4) & 0xF] + Hex[c & 0xF]; };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            out += escaped(c);
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80
                   && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080..U+009F: terminals take some of them (CSI, OSC) as the start of a command.
            out += escaped(static_cast<unsigned char>(text[++i]));
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string terminalLine(const MachineResult &result, const std::vector<std::string> &columns)
{
    std::string line;
    for (const CheckOutcome &o : result.outcomes)
        line += o.passed ? PassMark : FailMark;
    line += "  " + result.machine.name;
    const std::string failure = firstFailure(result, columns);
    if (!failure.empty())
        line += "  " + failure;
    return terminalText(line);
}

} // namespace jhk
