// Writes the code page 932 table of the core (src/document/Cp932Table.cpp) from the C
// library's "CP932" converter, so every build, with or without such a converter, reads and
// writes documents with the same codes. Run it again only to check or renew the table:
//
//     c++ -std=c++20 -O2 -Isrc -o cp932gen tools/cp932gen/cp932gen.cpp
//     ./cp932gen > src/document/Cp932Table.cpp
//
// (The native test build makes it too and checks that the committed table is its output.)
//
// The table holds what the converter does:
// - every one-byte code and every two-byte code it reads, with the character it reads;
// - every character it writes whose code reads back as that same character (a character
//   with a one-way code is left out: the program refuses to write it rather than have it
//   come back changed).
#include "CLibraryConverter.h"
#include "document/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace jhk;

namespace {

using Converter = CLibraryConverter;

// The one code point of a UTF-8 text, or nothing when it holds none or more than one.
std::optional<std::uint32_t> onlyCodePoint(const std::string &s)
{
    const auto c = s.empty() ? std::nullopt : codePointAt(s, 0);
    if (!c || c->second != s.size())
        return std::nullopt;
    return c->first;
}

void printPairs(const char *name, const std::vector<std::pair<std::uint32_t, std::uint32_t>> &pairs)
{
    std::printf("const Cp932Pair %s[] = {\n", name);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        std::printf("%s{0x%04X, 0x%04X},", i % 6 == 0 ? "    " : " ", pairs[i].first, pairs[i].second);
        if (i % 6 == 5 || i + 1 == pairs.size())
            std::printf("\n");
    }
    std::printf("};\nconst std::size_t %sCount = %zu;\n\n", name, pairs.size());
}

} // namespace

int main()
{
    Converter decoder("UTF-8", "CP932");
    Converter encoder("CP932", "UTF-8");
    if (!decoder.ok() || !encoder.ok()) {
        std::fprintf(stderr, "cp932gen: the C library has no \"CP932\" converter\n");
        return 1;
    }
    const auto fail = [](const char *what, unsigned code) {
        std::fprintf(stderr, "cp932gen: %s 0x%X cannot go into the table\n", what, code);
        return 1;
    };

    // Bytes read on their own; 0xFFFF marks a byte that is no character by itself.
    std::vector<std::uint32_t> single(256, 0xFFFF);
    for (unsigned b = 0; b < 256; ++b) {
        if (const auto text = decoder.convert(std::string(1, static_cast<char>(b)))) {
            const auto c = onlyCodePoint(*text);
            if (!c || *c > 0xFFFE)
                return fail("byte", b);
            single[b] = *c;
        }
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> doubles; // code, character
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (single[lead] != 0xFFFF)
            continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            if (const auto text = decoder.convert(bytes)) {
                const auto c = onlyCodePoint(*text);
                if (!c || *c > 0xFFFF)
                    return fail("code", lead << 8 | trail);
                doubles.emplace_back(lead << 8 | trail, *c);
            }
        }
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> encodes; // character, code
    for (std::uint32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const auto bytes = encoder.convert(utf8Of(c));
        if (!bytes || bytes->empty() || bytes->size() > 2)
            continue;
        const auto back = decoder.convert(*bytes);
        if (!back || onlyCodePoint(*back) != c)
            continue;
        if (c > 0xFFFF)
            return fail("character", c);
        const auto u = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>((*bytes)[i])); };
        encodes.emplace_back(c, bytes->size() == 1 ? u(0) : u(0) << 8 | u(1));
    }

    std::printf("// The code page 932 table, written by tools/cp932gen from the C library's \"CP932\"\n"
                "// converter. Do not edit: run the generator again.\n"
                "#include \"document/Cp932Table.h\"\n\nnamespace jhk {\n\n");
    std::printf("const std::uint16_t Cp932SingleBytes[256] = {\n");
    for (unsigned b = 0; b < 256; ++b)
        std::printf("%s0x%04X,%s", b % 8 == 0 ? "    " : " ", single[b], b % 8 == 7 ? "\n" : "");
    std::printf("};\n\n");
    printPairs("Cp932Decodes", doubles);
    printPairs("Cp932Encodes", encodes);
    std::printf("} // namespace jhk\n");
    return 0;
}
