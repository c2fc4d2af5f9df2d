#include "Machines.h"

#include "document/JhkLayout.h"

#include <gtest/gtest.h>

#include <functional>

namespace jhk {
namespace {

using testing::encoded;
using testing::fullMachine;
using testing::sameDocumentContent;
using testing::startupMachine;

bool startsWith(const std::string &s, const std::string &prefix) { return s.rfind(prefix, 0) == 0; }

void putI16(std::vector<std::uint8_t> &bytes, std::size_t at, int v)
{
    bytes.at(at) = static_cast<std::uint8_t>(v & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// Offsets in the document of the start-up machine with the background "ab".
constexpr std::size_t backTag = 16 + 1 + 8 + 2;
constexpr std::size_t backCount = backTag + 2;
constexpr std::size_t backText = backCount + 2;

std::unique_ptr<Machine> machineWithBackground()
{
    auto m = startupMachine();
    m->app.BackPictName = "ab";
    return m;
}

TEST(DocumentDamage, EveryPrefixOfADocumentIsRefusedAndChangesNothing)
{
    const std::vector<std::uint8_t> bytes = encoded(*fullMachine());
    auto m = startupMachine();
    const auto before = startupMachine();
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const LoadResult r = decodeDocument(std::span(bytes.data(), n), *m);
        ASSERT_FALSE(r.ok) << n;
        ASSERT_EQ(r.message, n < 9 ? std::string(NotJihankoboMessage)
                                   : std::string(DamagedFileMessage) + "\nファイルが途中で終わっています。")
            << n;
    }
    EXPECT_TRUE(sameDocumentContent(*m, *before));
}

struct Damage {
    const char *what;
    std::function<void(Machine &)> machine;                 // a bad value in the tables, written as it is
    std::function<void(std::vector<std::uint8_t> &)> bytes; // or bytes changed after writing
    const char *detail;                                     // the end of the message
};

TEST(DocumentDamage, DamagedDocumentsAreRefusedWithTheirReasonAndChangeNothing)
{
    const auto none = [](auto &) {};
    const Damage cases[] = {
        {"not our header", none, [](auto &b) { b[8] = '0'; }, ""},
        {"an unknown tag", none, [](auto &b) { putI16(b, backTag, 5); }, "データの種類（5）が正しくありません。"},
        {"a negative byte count", none, [](auto &b) { putI16(b, backCount, -2); }, "文字の長さ（-2）が正しくありません。"},
        {"a byte count beyond the end", [](Machine &m) { m.label(10).Caption.clear(); },
         [](auto &b) { putI16(b, b.size() - 24 - 27 - 2, 100); }, "ファイルが途中で終わっています。"},
        {"a lead byte without its trail", none, [](auto &b) { b[backText + 1] = 0x82; }, "読み取れない文字があります。"},
        {"a lead byte with a bad trail", none,
         [](auto &b) { b[backText] = 0x82, b[backText + 1] = 0x20; }, "読み取れない文字があります。"},
        {"level 0", [](Machine &m) { m.app.Level = 0; }, none, "レベル（0）が正しくありません。"},
        {"level 4", [](Machine &m) { m.app.Level = 4; }, none, "レベル（4）が正しくありません。"},
        {"a run in progress", none, [](auto &b) { putI16(b, 17, 1); }, "動作モード（1）が正しくありません。"},
        {"current part 31", [](Machine &m) { m.app.CurParts = 31; }, none, "選択中のパーツの番号（31）が正しくありません。"},
        {"a part used flag 1", [](Machine &m) { m.part(4).Used = 1; }, none, "パーツ4の使用中の印（1）が正しくありません。"},
        {"a part kind 8", [](Machine &m) { m.part(2).Kind = 8; }, none, "パーツ2の種類（8）が正しくありません。"},
        {"a part kind -1", [](Machine &m) { m.part(2).Kind = -1; }, none, "パーツ2の種類（-1）が正しくありません。"},
        {"a first block 31", [](Machine &m) { m.part(0).FirstBlock = 31; }, none, "パーツ0の最初のブロック（31）が正しくありません。"},
        {"a next block -2", [](Machine &m) { m.part(29).Blocks[30].NextBlock = -2; }, none,
         "パーツ29のブロック30の次のブロック（-2）が正しくありません。"},
        {"a branch exit 98 in a free slot", [](Machine &m) { m.part(30).Blocks[0].NextBlock2 = 98; }, none,
         "パーツ30のブロック0の次のブロック（98）が正しくありません。"},
        {"a block count 32", [](Machine &m) { m.part(1).BlockCount = 32; }, none, "パーツ1のブロックの数（32）が正しくありません。"},
        {"a branch count -1", [](Machine &m) { m.part(1).BranchCount = -1; }, none, "パーツ1の条件分岐の数（-1）が正しくありません。"},
        {"a block used flag 2", [](Machine &m) { m.part(1).Blocks[20].Used = 2; }, none,
         "パーツ1のブロック20の使用中の印（2）が正しくありません。"},
        {"a block kind 29", [](Machine &m) { m.part(1).Blocks[3].Kind = 29; }, none, "パーツ1のブロック3の種類（29）が正しくありません。"},
        {"a block kind 16", [](Machine &m) { m.part(1).Blocks[3].Kind = 16; }, none, "パーツ1のブロック3の種類（16）が正しくありません。"},
        {"a label used flag 5", [](Machine &m) { m.label(3).Used = 5; }, none, "ラベル3の使用中の印（5）が正しくありません。"},
        {"label slot 0 in use", [](Machine &m) { m.label(0).Used = -1, m.app.LabelCount = 11; }, none, "ラベル0は使えません。"},
        {"a background colour 9", [](Machine &m) { m.label(5).BackColor = 9; }, none, "ラベル5の背景色（9）が正しくありません。"},
        {"a text colour -1", [](Machine &m) { m.label(5).ForeColor = -1; }, none, "ラベル5の文字色（-1）が正しくありません。"},
        {"31 parts", [](Machine &m) { m.part(30).Used = -1, m.app.PartsCount = 31; }, none, "パーツが多すぎます（31個）。"},
        {"a parts count too small", [](Machine &m) { m.app.PartsCount = 29; }, none,
         "パーツの数（29）が置かれたパーツの数（30）と合いません。"},
        {"a labels count too large", [](Machine &m) { m.app.LabelCount = 11; }, none,
         "ラベルの数（11）が置かれたラベルの数（10）と合いません。"},
    };
    for (const Damage &d : cases) {
        auto source = fullMachine();
        source->app.BackPictName = "ab";
        d.machine(*source);
        std::vector<std::uint8_t> bytes = encoded(*source);
        ASSERT_FALSE(bytes.empty()) << d.what;
        d.bytes(bytes);

        auto m = machineWithBackground();
        const auto before = machineWithBackground();
        const LoadResult r = decodeDocument(bytes, *m);
        EXPECT_FALSE(r.ok) << d.what;
        const std::string expected = *d.detail ? std::string(DamagedFileMessage) + "\n" + d.detail
                                               : std::string(NotJihankoboMessage);
        EXPECT_EQ(r.message, expected) << d.what;
        EXPECT_TRUE(sameDocumentContent(*m, *before)) << d.what;
    }
}

TEST(DocumentDamage, FreeSlotsMayHoldAnyLeftovers)
{
    auto source = fullMachine();
    PartsRecord &freePart = source->part(30);
    freePart.Kind = 99;
    freePart.BlockCount = -4;
    freePart.BranchCount = 500;
    freePart.Blocks[2].Used = 7;
    freePart.Blocks[2].Kind = 300;
    BlockRecord &freeBlock = source->part(0).Blocks[30];
    freeBlock.Kind = 1000;
    LabelRecord &freeLabel = source->label(0);
    freeLabel.BackColor = 77;
    freeLabel.ForeColor = -3;
    auto m = startupMachine();
    const LoadResult r = decodeDocument(encoded(*source), *m);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(sameDocumentContent(*m, *source));
}

TEST(DocumentDamage, AnotherVersionAndATailAfterTheLastFieldAreAccepted)
{
    const auto source = fullMachine();
    std::vector<std::uint8_t> bytes = encoded(*source);
    const std::string version = "JIHANKOBO Ver 9.";
    std::copy(version.begin(), version.end(), bytes.begin());
    bytes.insert(bytes.end(), {'o', 'l', 'd', 0xFF, 0x00, 0x81});
    auto m = startupMachine();
    const LoadResult r = decodeDocument(bytes, *m);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(sameDocumentContent(*m, *source));
}

TEST(DocumentDamage, TextFieldsTakeAnItemOfAnyTagAsText)
{
    std::vector<std::uint8_t> bytes = encoded(*machineWithBackground());
    // The background "ab" (len 2, tag 8, count 2, "ab") becomes the integer 25185 (tag 2, value "ab").
    putI16(bytes, backTag, TagInteger);
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(backCount), bytes.begin() + static_cast<std::ptrdiff_t>(backText));
    auto m = startupMachine();
    ASSERT_TRUE(decodeDocument(bytes, *m).ok);
    EXPECT_EQ(m->app.BackPictName, std::to_string('a' | 'b' << 8));
}

} // namespace
} // namespace jhk
