// Writes the code page 932 table of the core (src/document/Cp932Table.cpp) from the C
// library's "CP932" converter, so every build, with or without such a converter, reads and
// writes documents with the same codes. Run it again only to check or renew the table:
//
//     c++ -std=c++20 -O2 -o cp932gen tools/cp932gen/cp932gen.cpp
//     ./cp932gen > src/document/Cp932Table.cpp
//
// The table holds what the converter does:
// - every one-byte code and every two-byte code it reads, with the character it reads;
// - every character it writes whose code reads back as that same character (a character
//   with a one-way code is left out: the program refuses to write it rather than have it
//   come back changed).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iconv.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

class Converter {
public:
    Converter(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> convert(const std::string &in)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char *src = const_cast<char *>(in.data());
        std::size_t srcLeft = in.size();
        char *dst = out.data();
        std::size_t dstLeft = out.size();
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return out;
    }

private:
    iconv_t m_cd;
};

// The one code point of a UTF-8 text, or nothing when it holds none or more than one.
std::optional<std::uint32_t> onlyCodePoint(const std::string &s)
{
    if (s.empty())
        return std::nullopt;
    const auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(s[i])); };
    const std::size_t len = b(0) < 0x80 ? 1 : b(0) < 0xE0 ? 2 : b(0) < 0xF0 ? 3 : 4;
    if (s.size() != len)
        return std::nullopt;
    switch (len) {
    case 1: return b(0);
    case 2: return (b(0) & 0x1F) << 6 | (b(1) & 0x3F);
    case 3: return (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
    default: return (b(0) & 0x07) << 18 | (b(1) & 0x3F) << 12 | (b(2) & 0x3F) << 6 | (b(3) & 0x3F);
    }
}

std::string utf8(std::uint32_t c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | c >> 6);
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | c >> 12);
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | c >> 18);
        s += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        s += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
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
        const auto bytes = encoder.convert(utf8(c));
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
