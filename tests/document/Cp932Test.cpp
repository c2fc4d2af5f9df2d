#include "document/Cp932.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#if defined(__GLIBC__)
#include "CLibraryConverter.h"
#include "document/Utf8.h"
#define JHK_HAVE_GLIBC_CP932 1
#endif

namespace jhk {
namespace {

TEST(Cp932, TheProgramsCharactersHaveTheirWindowsCodes)
{
    struct Case {
        const char *utf8;
        const char *cp932;
    };
    const Case cases[] = {
        {"ﾍﾟｲﾝﾄﾂｰﾙ", "\xcd\xdf\xb2\xdd\xc4\xc2\xb0\xd9"},
        {"￥", "\x81\x8f"},
        {"～", "\x81\x60"},
        {"－", "\x81\x7c"},
        {"∥", "\x81\x61"},
        {"①", "\x87\x40"},
        {"髙", "\xfb\xfc"},
        {"\\bg\\kan_2.bmp", "\\bg\\kan_2.bmp"},
        {"ラベル1", "\x83\x89\x83\x78\x83\x8b" "1"},
        {"", ""},
    };
    for (const Case &c : cases) {
        const Cp932Encoding e = utf8ToCp932(c.utf8);
        ASSERT_TRUE(e.ok) << c.utf8;
        EXPECT_EQ(e.bytes, c.cp932) << c.utf8;
        EXPECT_EQ(cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
    }
}

TEST(Cp932, LookalikesAreSavedAsTheirFullWidthForms)
{
    const Cp932Encoding e = utf8ToCp932("〜−‖¥100");
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(cp932ToUtf8(e.bytes), "～－∥￥100");
}

TEST(Cp932, CharactersWithoutACodeFailAndNameTheCharacter)
{
    struct Case {
        const char *utf8;
        const char *bad;
    };
    const Case cases[] = {
        {"おいしい𠮷野家", "𠮷"}, // outside the code page
        {"한글", "한"},
        {"ok😀", "😀"},
        {"caf\xc3\xa9", "é"},
        {"bad \xff utf-8", ""}, // not UTF-8 at all
    };
    for (const Case &c : cases) {
        const Cp932Encoding e = utf8ToCp932(c.utf8);
        EXPECT_FALSE(e.ok) << c.utf8;
        EXPECT_EQ(e.badCharacter, c.bad) << c.utf8;
        EXPECT_TRUE(e.bytes.empty());
    }
}

TEST(Cp932, BrokenBytesAreNotDecoded)
{
    for (const char *bytes : {"\x82", "ab\x82", "\x82\x20", "\x81\x7f"})
        EXPECT_FALSE(cp932ToUtf8(bytes).has_value()) << bytes;
}

#ifdef JHK_HAVE_GLIBC_CP932

// The C library's own "CP932" converter, which the program's table was made from.
using Glibc = CLibraryConverter;

TEST(Cp932, EveryOneAndTwoByteCodeReadsAsTheCLibraryReadsIt)
{
    Glibc glibc("UTF-8", "CP932");
    ASSERT_TRUE(glibc.ok());
    int codes = 0;
    for (int first = 0; first < 256; ++first) {
        const std::string one(1, static_cast<char>(first));
        ASSERT_EQ(cp932ToUtf8(one), glibc.convert(one)) << std::hex << first;
        for (int second = 0; second < 256; ++second) {
            const std::string two{static_cast<char>(first), static_cast<char>(second)};
            const auto expected = glibc.convert(two);
            ASSERT_EQ(cp932ToUtf8(two), expected) << std::hex << first << ' ' << second;
            codes += expected.has_value();
        }
    }
    EXPECT_GT(codes, 9000 * 1 + 128 * 128);
}

TEST(Cp932, EveryCharacterIsWrittenAsTheCLibraryWritesIt)
{
    Glibc toCp932("CP932", "UTF-8");
    Glibc fromCp932("UTF-8", "CP932");
    ASSERT_TRUE(toCp932.ok() && fromCp932.ok());
    const std::string lookalikes[] = {"\u301C", "\u2212", "\u2016", "\u00A5"};
    int written = 0;
    std::string everything, everythingCp932;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::string ch = utf8Of(c);
        if (std::find(std::begin(lookalikes), std::end(lookalikes), ch) != std::end(lookalikes))
            continue;
        // The program writes a character only when its code reads back as the same character.
        std::optional<std::string> expected = toCp932.convert(ch);
        if (expected && fromCp932.convert(*expected) != ch)
            expected.reset();
        const Cp932Encoding e = utf8ToCp932(ch);
        ASSERT_EQ(e.ok, expected.has_value()) << std::hex << static_cast<unsigned>(c);
        if (!expected) {
            ASSERT_EQ(e.badCharacter, ch) << std::hex << static_cast<unsigned>(c);
            continue;
        }
        ASSERT_EQ(e.bytes, *expected) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(cp932ToUtf8(e.bytes), ch) << std::hex << static_cast<unsigned>(c);
        ++written;
        everything += ch;
        everythingCp932 += *expected;
    }
    EXPECT_GT(written, 9000);
    // All of them in one text, as a document holds them.
    const Cp932Encoding all = utf8ToCp932(everything);
    ASSERT_TRUE(all.ok);
    EXPECT_EQ(all.bytes, everythingCp932);
    EXPECT_EQ(toCp932.convert(everything), everythingCp932);
    EXPECT_EQ(cp932ToUtf8(everythingCp932), everything);
}

#endif

} // namespace
} // namespace jhk
