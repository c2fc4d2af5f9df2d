#include "document/Cp932.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace jhk
