// The bytes of a document, field by field, read back with a cursor of the test's own.
#include "Machines.h"

#include <gtest/gtest.h>

#include <cstring>

namespace jhk {
namespace {

using testing::encoded;
using testing::startupMachine;

class Cursor {
public:
    explicit Cursor(const std::vector<std::uint8_t> &bytes) : m_bytes(bytes) {}

    std::size_t pos() const { return m_pos; }
    std::uint8_t u8() { return m_bytes.at(m_pos++); }
    std::int16_t i16()
    {
        const int lo = u8();
        const int hi = u8();
        return static_cast<std::int16_t>(lo | hi << 8);
    }
    std::int32_t i32()
    {
        std::uint32_t v = 0;
        for (int shift = 0; shift < 32; shift += 8)
            v |= std::uint32_t{u8()} << shift;
        return static_cast<std::int32_t>(v);
    }
    std::string raw(std::size_t n)
    {
        std::string s(reinterpret_cast<const char *>(m_bytes.data() + m_pos), n);
        m_pos += n;
        return s;
    }
    // A text item: checks its len and tag, returns the raw bytes.
    std::string text(int expectLen)
    {
        EXPECT_EQ(i16(), expectLen) << "len at " << m_pos;
        EXPECT_EQ(i16(), 8) << "tag at " << m_pos;
        const int n = i16();
        return raw(static_cast<std::size_t>(n));
    }
    void intItem(int value)
    {
        EXPECT_EQ(i16(), static_cast<int>(std::to_string(value).size()));
        EXPECT_EQ(i16(), 2);
        EXPECT_EQ(i16(), value);
    }
    std::vector<int> i16s(int n)
    {
        std::vector<int> v;
        for (int k = 0; k < n; ++k)
            v.push_back(i16());
        return v;
    }

private:
    const std::vector<std::uint8_t> &m_bytes;
    std::size_t m_pos = 0;
};

// Sizes of the layout's pieces in a start-up document, where every text is empty except the
// background and every parameter is the integer -1.
constexpr std::size_t emptyText = 6;
constexpr std::size_t intMinus1 = 6;
constexpr std::size_t blockBytes = 9 * 2 + emptyText + 3 + 2 * 2 + 6 * intMinus1;
constexpr std::size_t partBytes = emptyText + 19 * 2 + BlockSlots * blockBytes;
constexpr std::size_t labelBytes = emptyText + 5 * 2 + 1 + 2 * 4 + 4 * 2;

TEST(DocumentLayout, StartupTablesGiveEveryRecordWithStartValues)
{
    const auto m = startupMachine();
    const std::vector<std::uint8_t> bytes = encoded(*m);
    const std::string back = "\\BG\\BG0.BMP";
    ASSERT_EQ(bytes.size(), 16 + 1 + 4 * 2 + (emptyText + back.size()) + PartSlots * partBytes +
                                LabelSlots * labelBytes + 2 * 2 + 10 * 2);

    Cursor c(bytes);
    EXPECT_EQ(c.raw(16), "JIHANKOBO Ver 1.");
    EXPECT_EQ(c.u8(), 3);                                   // Level
    EXPECT_EQ(c.i16s(4), (std::vector<int>{0, -1, 0, 0})); // RunMode, CurParts, PartsCount, LabelCount
    EXPECT_EQ(c.text(11), back);
    for (int i = 0; i < PartSlots; ++i) {
        EXPECT_EQ(c.text(0), "");
        // BlockCount … Hensuu(3); a free slot: not linked, no blocks, nothing else set.
        EXPECT_EQ(c.i16s(19), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0}));
        for (int k = 0; k < BlockSlots; ++k) {
            // Spare4, BlockNo, Kind, Spare5, Spare6, NextBlock, NextBlock2, X, Y
            EXPECT_EQ(c.i16s(9), (std::vector<int>{0, k, -1, 0, 0, 0, -1, 0, 0})) << "part " << i << " block " << k;
            EXPECT_EQ(c.text(0), "");
            EXPECT_EQ(c.raw(3), std::string(3, '\0'));
            EXPECT_EQ(c.i16s(2), (std::vector<int>{0, 0})); // Used, Complete
            for (int p = 0; p < 6; ++p)
                c.intItem(-1);
        }
    }
    for (int j = 0; j < LabelSlots; ++j) {
        EXPECT_EQ(c.text(0), "");
        EXPECT_EQ(c.i16s(5), (std::vector<int>{0, 0, 0, 0, 0}));
        EXPECT_EQ(c.u8(), 0);
        EXPECT_EQ(c.i32(), 0);
        EXPECT_EQ(c.i32(), 0);
        EXPECT_EQ(c.i16s(4), (std::vector<int>{0, 0, 0, 0}));
    }
    EXPECT_EQ(c.i16s(2), (std::vector<int>{9990, 9990}));
    EXPECT_EQ(c.i16s(10), (std::vector<int>{2, 0, 1, 0, 1, 0, 2, 0, 5, 0})); // interleaved with WalletSaved
    EXPECT_EQ(c.pos(), bytes.size());
}

// Every field gets a value of its own, so a field written in the wrong place shows.
TEST(DocumentLayout, FieldsFollowTheLayoutOrder)
{
    auto m = startupMachine();
    m->app.Level = 2;
    m->app.CurParts = 30;
    m->app.PartsCount = 1;
    m->app.LabelCount = 1;
    m->app.RunMode = ModeRunning; // never stored: a document always opens for editing
    m->app.MoneyInHand = 1234;
    m->app.MoneySetting = -2;
    m->app.Wallet = {11, 12, 13, 14, 15};
    m->app.WalletSaved = {21, 22, 23, 24, 25};
    m->app.BackPictName = "";
    PartsRecord &p = m->part(0);
    p.PictName = "dummy";
    p.BlockCount = 101, p.BranchCount = 102, p.Spare2 = 103, p.Height = 104, p.ImageNo = 105;
    p.Width = 106, p.Left = 107, p.Top = 108, p.Spare1 = 109, p.LampLink = 110, p.Kind = 111;
    p.FirstBlock = 112, p.RunDrag = 113, p.Used = 114, p.Spare3 = 115;
    p.Hensuu = {116, 117, 118, 119};
    p.LeverDown = -1; // not stored
    BlockRecord &b = p.Blocks[0];
    b.Spare4 = 201, b.BlockNo = 202, b.Kind = 203, b.Spare5 = 204, b.Spare6 = 205;
    b.NextBlock = 206, b.NextBlock2 = 207, b.X = 208, b.Y = 209;
    b.Caption = "0条件分岐";
    b.PickFlags = {210, 211, 212};
    b.Used = 213, b.Complete = 214;
    b.Param = {ParamValue(), ParamValue(-32768), ParamValue("A"), ParamValue(">="), ParamValue(""), ParamValue(7)};
    LabelRecord &l = m->label(1);
    l.Caption = "ｺｰﾗ";
    l.FontSize = 301, l.Height = 302, l.Width = 303, l.Left = 304, l.Top = 305, l.LabelNo = 251;
    l.BackColor = 0x01020304, l.ForeColor = -7, l.Transparent = 306, l.FontBold = 307, l.FontItalic = 308;
    l.Used = 309;

    const std::vector<std::uint8_t> bytes = encoded(*m);
    Cursor c(bytes);
    c.raw(16);
    EXPECT_EQ(c.u8(), 2);
    EXPECT_EQ(c.i16s(4), (std::vector<int>{0, 30, 1, 1}));
    EXPECT_EQ(c.text(0), "");
    EXPECT_EQ(c.text(5), "dummy");
    EXPECT_EQ(c.i16s(19), (std::vector<int>{101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
                                            114, 115, 116, 117, 118, 119}));
    EXPECT_EQ(c.i16s(9), (std::vector<int>{201, 202, 203, 204, 205, 206, 207, 208, 209}));
    EXPECT_EQ(c.text(5), "0\x8f\xf0\x8c\x8f\x95\xaa\x8a\xf2"); // "0条件分岐" in code page 932
    EXPECT_EQ(c.u8(), 210);
    EXPECT_EQ(c.u8(), 211);
    EXPECT_EQ(c.u8(), 212);
    EXPECT_EQ(c.i16s(2), (std::vector<int>{213, 214}));
    EXPECT_EQ(c.i16s(2), (std::vector<int>{0, 0})); // empty: len 0, tag 0, nothing else
    c.intItem(-32768);
    EXPECT_EQ(c.text(1), "A");
    EXPECT_EQ(c.text(2), ">=");
    EXPECT_EQ(c.text(0), "");
    c.intItem(7);

    const std::size_t labelsStart = bytes.size() - 24 - 10 * labelBytes - (labelBytes + 3);
    Cursor lc(bytes);
    lc.raw(labelsStart);
    EXPECT_EQ(lc.text(0), "");
    lc.raw(labelBytes - emptyText);
    EXPECT_EQ(lc.text(3), "\xba\xb0\xd7"); // half-width kana, one byte each
    EXPECT_EQ(lc.i16s(5), (std::vector<int>{301, 302, 303, 304, 305}));
    EXPECT_EQ(lc.u8(), 251);
    EXPECT_EQ(lc.i32(), 0x01020304);
    EXPECT_EQ(lc.i32(), -7);
    EXPECT_EQ(lc.i16s(4), (std::vector<int>{306, 307, 308, 309}));
    lc.raw(9 * labelBytes);
    EXPECT_EQ(lc.i16s(12), (std::vector<int>{1234, -2, 11, 21, 12, 22, 13, 23, 14, 24, 15, 25}));
    EXPECT_EQ(lc.pos(), bytes.size());
}

TEST(DocumentLayout, ParameterItemsHaveTheirExactSizes)
{
    struct Case {
        ParamValue value;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {ParamValue(-1), {2, 0, 2, 0, 0xFF, 0xFF}},
        {ParamValue("A"), {1, 0, 8, 0, 1, 0, 0x41}},
        {ParamValue(), {0, 0, 0, 0}},
        {ParamValue(12345), {5, 0, 2, 0, 0x39, 0x30}},
        {ParamValue("￥"), {1, 0, 8, 0, 2, 0, 0x81, 0x8F}},
    };
    for (const Case &tc : cases) {
        auto m = startupMachine();
        m->part(0).Blocks[0].Param[0] = tc.value;
        const std::vector<std::uint8_t> bytes = encoded(*m);
        const std::vector<std::uint8_t> base = encoded(*startupMachine());
        // The first parameter of the first block follows its Complete flag.
        const std::size_t at = 16 + 1 + 8 + 6 + 11 + emptyText + 19 * 2 + 9 * 2 + emptyText + 3 + 4;
        ASSERT_EQ(bytes.size(), base.size() - intMinus1 + tc.bytes.size()) << tc.value.toText();
        EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + at, bytes.begin() + at + tc.bytes.size()), tc.bytes)
            << tc.value.toText();
    }
}

} // namespace
} // namespace jhk
