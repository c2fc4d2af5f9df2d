#include "EditorFixture.h"

#include "rules/BlockPalette.h"
#include "document/JhkDocument.h"
#include "model/AppPaths.h"

#include <filesystem>
#include <fstream>
#include <random>

using namespace jhk;
using jhk::test::EditorFixture;

namespace {

std::vector<std::uint8_t> documentBytes(const Machine &m)
{
    const EncodeResult r = encodeDocument(m);
    EXPECT_TRUE(r.ok) << r.message;
    return r.bytes;
}

// A folder of its own under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    std::filesystem::path path;
    ScratchFolder()
        : path(std::filesystem::temp_directory_path()
               / ("jhk-editor-" + std::to_string(std::random_device{}())))
    {
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;
};

} // namespace

TEST(BlockPalette, MarksUnavailableEntriesByLevelAndPartKind)
{
    struct Case {
        int level;
        int kind;
        std::vector<int> unavailable; // vending tab positions
    };
    const Case cases[] = {
        {2, KindProduct, {1, 2, 3, 4, 5, 6}},
        {2, KindButton, {1, 3}},
        {2, KindCoinSlot, {4}},
        {2, KindCounter, {0, 1, 2, 3, 6, 7}},
        {2, KindChangeOutlet, {0, 1, 2, 3, 4}},
        {2, KindProductOutlet, {0, 1, 2, 3, 4}},
        {2, KindLever, {1, 3}},
        {3, KindButton, {3}},
        {3, KindCounter, {3}},
        {3, KindCoinSlot, {}},
    };
    for (const Case &c : cases) {
        const auto lists = paletteLists(c.level, c.kind);
        ASSERT_EQ(lists[1].size(), 9u);
        for (int p = 0; p < 9; ++p) {
            const bool marked = std::find(c.unavailable.begin(), c.unavailable.end(), p) != c.unavailable.end();
            const std::string expected = std::string(VendingBlockNames[static_cast<std::size_t>(p)]) + (marked ? "(使用不可)" : "");
            EXPECT_EQ(lists[1][static_cast<std::size_t>(p)], expected) << "level " << c.level << " kind " << c.kind;
        }
    }
    EXPECT_EQ(paletteLists(3, KindButton)[0].size(), 12u);
    EXPECT_TRUE(paletteLists(3, KindButton)[2].empty());
}

TEST(BlockEditorOpening, PartWithoutBlocksHasNoSelectionAndNoDelete)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    EXPECT_EQ(e.currentBlock(), -1);
    EXPECT_FALSE(e.deleteEnabled());
    EXPECT_EQ(e.windowCaption(), "ジハンコウボウ");
    EXPECT_EQ(e.partInfo().blockCount, "ブロックの数 ： 0");
    EXPECT_EQ(e.partInfo().kindName, "パーツの種類 ：ボタン");
}

// The editor looks the part up in the catalogue the program read at its start: the file is
// not read again when an editor opens.
TEST(BlockEditorOpening, PartInformationComesFromTheCatalogueInMemory)
{
    std::optional<Catalogue> catalogue;
    {
        const ScratchFolder folder;
        std::filesystem::copy_file(std::filesystem::path(JHK_APP_DIR) / CatalogueFileName,
                                   folder.path / CatalogueFileName);
        catalogue.emplace(folder.path.string());
    } // the folder and its catalogue file are gone

    EditorFixture f;
    const int part = f.place(KindProduct);
    f.m.app.BlockEditorOpen = -1;
    BlockEditorModel e(f.m, part, *catalogue, [](const std::string &) {});
    EXPECT_EQ(e.partInfo().kindName, "パーツの種類 ：商品");
    EXPECT_FALSE(e.partInfo().rows[0].caption.empty());
}

TEST(BlockEditorOpening, LevelOneEmptyPartShowsTheNoticeWithoutStartBox)
{
    EditorFixture f(1);
    auto &e = f.open(f.place(KindProduct));
    const FlowchartScene s = e.scene();
    EXPECT_FALSE(s.startBoxVisible);
    EXPECT_FALSE(s.ovalsVisible);
    EXPECT_EQ(s.notice, "レベル１のステップ1では\n　このパーツにブロックを設定することはできません");
    EXPECT_FALSE(e.listsEnabled());
    e.dropBlock(1, 0, 2000, 2000);
    EXPECT_EQ(f.rec().BlockCount, 0);
}

TEST(BlockDrop, FillsTheLowestFreeSlotAtTheCellCorner)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(0, 1, 2);
    const BlockRecord &b = f.block(0);
    EXPECT_EQ(b.Used, -1);
    EXPECT_EQ(b.Kind, 20);
    EXPECT_EQ(b.Caption, "0商品排出");
    EXPECT_EQ(b.X, 1323);
    EXPECT_EQ(b.Y, 1102);
    EXPECT_EQ(b.NextBlock, -1);
    EXPECT_EQ(b.NextBlock2, -1);
    EXPECT_EQ(b.Spare5, -1);
    EXPECT_EQ(b.Complete, 0);
    for (const ParamValue &p : b.Param)
        EXPECT_TRUE(p.isUnset());
    EXPECT_EQ(f.rec().BlockCount, 1);
    EXPECT_EQ(e.currentBlock(), 0);
    EXPECT_TRUE(e.deleteEnabled());
    EXPECT_EQ(e.partInfo().blockCount, "ブロックの数 ：1");
    EXPECT_EQ(e.outlineOn(), OutlineOn::Block);

    // Deleting block 0 of two frees slot 0 for the next drop; block 1 keeps its slot.
    f.drop(8, 0, 3);
    EXPECT_EQ(f.rec().BranchCount, 1);
    f.click(0);
    e.deleteSelected();
    f.drop(2, 2, 5);
    EXPECT_EQ(f.block(0).Caption, "0購買可ランプ消灯");
    EXPECT_EQ(f.block(1).Caption, "1条件分岐");
    EXPECT_EQ(f.rec().BlockCount, 2);
}

TEST(BlockDrop, OnABoxOrTheEndBoxCreatesNothing)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(0, 1, 1);
    const BlockRecord b = f.block(0);
    e.dropBlock(1, 1, b.X + 20, b.Y + 20);
    e.dropBlock(1, 1, 20, 20);                             // start box
    e.dropBlock(1, 1, 20, e.geometry().endBox().top + 20); // end box
    EXPECT_EQ(f.rec().BlockCount, 1);
    // The free margin of an occupied cell is still a drop target.
    e.dropBlock(1, 1, b.X + 1200, b.Y + 500);
    EXPECT_EQ(f.rec().BlockCount, 2);
    EXPECT_EQ(f.block(1).X, b.X);
    EXPECT_EQ(f.block(1).Y, b.Y);
}

TEST(BlockDrop, RefusesTheThirtySecondBlock)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    for (int i = 0; i < 31; ++i)
        f.drop(0, i % 4, 1 + i % 10);
    EXPECT_EQ(f.rec().BlockCount, 31);
    EXPECT_TRUE(f.messages.empty());
    f.drop(0, 3, 11);
    EXPECT_EQ(f.rec().BlockCount, 31);
    EXPECT_EQ(f.messages, std::vector<std::string>{"ブロックが多すぎます"});
    (void)e;
}

TEST(BlockDrop, UnavailableEntryIsRemovedAgainWithAMessage)
{
    struct Case {
        int level;
        int kind;
        int position;
    };
    for (const Case c : {Case{2, KindProduct, 1}, Case{2, KindCounter, 0}, Case{3, KindButton, 3}}) {
        EditorFixture f(c.level);
        auto &e = f.open(f.place(c.kind));
        f.drop(8, 0, 1); // a branch: every one of these parts may use it
        const PartsRecord before = f.rec();
        f.drop(c.position, 1, 1);
        EXPECT_EQ(f.rec().BlockCount, 1);
        EXPECT_EQ(f.messages, std::vector<std::string>{"このブロックは、このパーツではつかえません"});
        EXPECT_EQ(e.currentBlock(), 0);
        EXPECT_FALSE(f.block(1).isUsed());
        EXPECT_EQ(f.rec().BranchCount, before.BranchCount);
    }
}

TEST(BlockMove, MovesOntoAFreeCellAndStaysOffAnOccupiedOne)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(0, 0, 1);
    f.drop(8, 1, 1);
    f.dragTo(0, 2, 4);
    EXPECT_EQ(f.block(0).X, 2646);
    EXPECT_EQ(f.block(0).Y, 2204);
    EXPECT_FALSE(e.targetMarkerVisible());

    f.dragTo(0, 1, 1); // onto the branch
    EXPECT_EQ(f.block(0).X, 2646);
    EXPECT_EQ(f.block(0).Y, 2204);

    // Far left of the canvas the marker keeps its column and follows only the row.
    e.boxMouseDown(1, BoxButton::Left, 10, 10);
    e.boxMouseMove(1, -5000, 1200);
    e.boxMouseUp(1, BoxButton::Left);
    EXPECT_EQ(f.block(1).X, 1323);
    EXPECT_EQ(f.block(1).Y, 1653);
}

TEST(BlockMove, AClickSnapsABoxOffTheGridToItsCell)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(0, 0, 1);
    f.drop(1, 0, 4);
    f.block(1).Y = 2753; // as level-1 programs place them
    f.dragTo(0, 0, 5);   // the cell corner is 2755: not occupied by the box at 2753
    EXPECT_EQ(f.block(0).Y, 2755);
    f.block(0).Y = 1102;
    f.click(1, 10, 10);
    EXPECT_EQ(f.block(1).Y, 2755);
    (void)e;
}

TEST(BlockDelete, ClearsLinksToTheBlockAndSelectsTheHighestRemaining)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(8, 0, 1); // 0 branch
    f.drop(0, 0, 3); // 1
    f.drop(2, 0, 5); // 2
    f.drop(4, 0, 7); // 3
    f.rec().FirstBlock = 1;
    f.block(0).NextBlock = 1;
    f.block(0).NextBlock2 = 1;
    f.block(2).NextBlock = 1;
    f.block(1).NextBlock = 2;
    f.click(1);
    e.deleteSelected();
    EXPECT_EQ(f.rec().FirstBlock, -1);
    EXPECT_EQ(f.block(0).NextBlock, -1);
    EXPECT_EQ(f.block(0).NextBlock2, -1);
    EXPECT_EQ(f.block(2).NextBlock, -1);
    EXPECT_EQ(f.block(1).Used, 0);
    EXPECT_EQ(f.block(1).Caption, "1商品排出"); // the slot keeps its fields until reused
    EXPECT_EQ(f.rec().BlockCount, 3);
    EXPECT_EQ(e.currentBlock(), 3);
    EXPECT_TRUE(e.deleteEnabled());

    f.click(0);
    e.deleteSelected();
    EXPECT_EQ(f.rec().BranchCount, 0);
    e.deleteSelected();
    e.deleteSelected();
    EXPECT_EQ(f.rec().BlockCount, 0);
    EXPECT_EQ(e.currentBlock(), -1);
    EXPECT_FALSE(e.deleteEnabled());
    e.deleteSelected();
    EXPECT_EQ(f.rec().BlockCount, 0);
}

TEST(BlockDelete, RightAfterOpeningAFreeSelectedSlotChangesNothing)
{
    EditorFixture f;
    const int part = f.place(KindButton);
    PartsRecord &p = f.m.part(part);
    p.Blocks[0].Used = -1;
    p.Blocks[0].Kind = 20;
    p.Blocks[0].Caption = "0商品排出";
    p.Blocks[2] = p.Blocks[0];
    p.Blocks[2].Caption = "2商品排出";
    p.BlockCount = 2;
    auto &e = f.open(part);
    EXPECT_EQ(e.currentBlock(), 1); // slot 1 is free
    EXPECT_TRUE(e.deleteEnabled());
    const PartsRecord before = f.rec();
    e.deleteSelected();
    EXPECT_EQ(f.rec(), before);
}

TEST(BlockEditorClose, CancelRestoresThePartByteForByte)
{
    EditorFixture f;
    const int part = f.place(KindButton);
    const int product = f.place(KindProduct);
    auto &e = f.open(part);
    const std::vector<std::uint8_t> before = documentBytes(f.m);

    f.drop(0, 0, 1);
    f.drop(8, 1, 1);
    f.drop(1, 0, 3);
    f.dragTo(2, 2, 6);
    e.startBoxDoubleClick();
    f.click(0);
    e.nextBlockButton(0);
    f.click(1);
    f.click(0);
    e.deleteSelected();
    f.block(1).Param[1] = ParamValue(product);
    f.block(1).Complete = -1;
    e.setVariableText(0, "55");
    e.setDragMode(true);
    ASSERT_NE(documentBytes(f.m), before);

    EXPECT_TRUE(e.cancel());
    e.closing();
    EXPECT_EQ(documentBytes(f.m), before);
    EXPECT_EQ(f.m.app.BlockEditorOpen, 0);
}

TEST(BlockEditorClose, CancelWhilePickingANextBlockExplainsAndDiscards)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    const PartsRecord before = f.rec();
    f.drop(0, 0, 1);
    e.nextBlockButton(0);
    f.messages.clear();
    EXPECT_TRUE(e.cancel());
    EXPECT_EQ(f.messages, std::vector<std::string>{"次に実行するブロック１を選択中だったのですが．．"});
    EXPECT_EQ(f.m.app.RunMode, 0);
    EXPECT_EQ(f.rec(), before);
}

TEST(BlockEditorClose, CancelWhilePickingTheFirstBlockDoesNothing)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    f.drop(0, 0, 1);
    e.firstBlockButton();
    EXPECT_FALSE(e.cancel());
    EXPECT_EQ(f.m.app.RunMode, ModePickBranchBlock);
    EXPECT_EQ(f.block(0).Used, -1);
}

TEST(BlockEditorClose, CloseBoxKeepsBlocksButNotTheTypedVariables)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindProduct));
    f.drop(0, 0, 1);
    e.setVariableText(0, "120");
    e.nextBlockButton(0);
    f.messages.clear();
    e.closing();
    EXPECT_EQ(f.messages, std::vector<std::string>{"編集モードに変更します"});
    EXPECT_EQ(f.m.app.RunMode, 0);
    EXPECT_EQ(f.rec().BlockCount, 1);
    EXPECT_EQ(f.rec().A(), 0);
}

TEST(BlockEditorClose, ConfirmStoresVariablesUpTo10000)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindProduct));
    e.setDragMode(true);
    e.setVariableText(0, "10000");
    e.setVariableText(1, "２．５"); // full width, rounded half to even
    e.setVariableText(2, "abc");
    EXPECT_TRUE(e.confirm());
    EXPECT_EQ(f.rec().A(), 10000);
    EXPECT_EQ(f.rec().B(), 2);
    EXPECT_EQ(f.rec().C(), 0);
    EXPECT_EQ(f.rec().RunDrag, -1);

    e.setVariableText(0, "150");
    e.setVariableText(1, "10001");
    EXPECT_FALSE(e.confirm());
    EXPECT_EQ(f.messages, std::vector<std::string>{"10000以下に設定して下さい"});
    EXPECT_EQ(f.rec().A(), 150); // rows before the refused one are written
    EXPECT_EQ(f.rec().B(), 2);
    EXPECT_EQ(e.partInfo().rows[1].text, "2");

    e.setVariableText(1, "-40000");
    EXPECT_FALSE(e.confirm());
    EXPECT_EQ(f.rec().B(), 2);
}

TEST(BlockEditorPartInfo, ButtonShowsLampListsAsOff)
{
    EditorFixture f;
    const int part = f.place(KindButton);
    f.m.part(part).Hensuu = {0, 1, 1, 7};
    f.m.part(part).RunDrag = -1;
    auto &e = f.open(part);
    const PartInfoFrame &info = e.partInfo();
    for (int r = 0; r < 2; ++r) {
        EXPECT_TRUE(info.rows[static_cast<std::size_t>(r)].listVisible);
        EXPECT_FALSE(info.rows[static_cast<std::size_t>(r)].listEnabled);
        EXPECT_EQ(info.rows[static_cast<std::size_t>(r)].listText, "消灯");
    }
    EXPECT_FALSE(info.rows[2].listVisible);
    EXPECT_EQ(info.rows[0].caption, "購買可ランプ");
    EXPECT_EQ(info.rows[2].text, "7");
    EXPECT_TRUE(info.dragMode);
    EXPECT_EQ(info.partNumber, "パーツ番号：" + std::to_string(part));
}

TEST(BlockEditorPartInfo, CatalogueListFormOffersVariableAAsAListThatIsNotStored)
{
    const ScratchFolder dir;
    std::ofstream(dir.path / "jihan.ini", std::ios::binary)
        << "0,商品,値段,在庫数,,cmb,x,y,skip,りんご,みかん\n1,ボタン,購買可ランプ,売切ランプ,\n";
    EditorFixture f;
    auto &e = f.open(f.place(KindProduct), dir.path.string());
    const PartInfoFrame &info = e.partInfo();
    EXPECT_EQ(info.kindName, "パーツの種類 ：商品");
    EXPECT_FALSE(info.rows[0].textVisible);
    EXPECT_TRUE(info.rows[0].listVisible);
    EXPECT_EQ(info.rows[0].listItems, (std::vector<std::string>{"りんご", "みかん"}));
    EXPECT_FALSE(info.rows[2].textVisible); // no caption for C: the row is hidden
    EXPECT_FALSE(info.rows[2].listVisible);
    e.setVariableText(0, "300");
    e.setVariableText(1, "7");
    EXPECT_TRUE(e.confirm());
    EXPECT_EQ(f.rec().A(), 0);
    EXPECT_EQ(f.rec().B(), 7);
}

// A variable the catalogue marks "（使いません）" is shown but cannot be typed in; what the
// kind uses stays editable.
TEST(BlockEditorPartInfo, OnlyTheVariablesAKindUsesAreEditable)
{
    struct Case {
        int kind;
        std::array<bool, 3> editable;
    };
    const Case cases[] = {
        {KindProduct, {true, true, false}},
        {KindButton, {true, true, false}},
        {KindCounter, {true, false, false}},
        {KindCoinSlot, {false, false, false}},
    };
    for (const Case &c : cases) {
        EditorFixture f;
        const int part = f.place(c.kind);
        f.m.part(part).Hensuu = {0, 1, 2, 3};
        auto &e = f.open(part);
        for (std::size_t r = 0; r < 3; ++r) {
            EXPECT_EQ(e.partInfo().rows[r].textEditable, c.editable[r]) << "kind " << c.kind << " row " << r;
            e.setVariableText(static_cast<int>(r), "9");
        }
        ASSERT_TRUE(e.confirm());
        for (std::size_t r = 0; r < 3; ++r)
            EXPECT_EQ(f.rec().Hensuu[r + 1], c.editable[r] && e.partInfo().rows[r].textVisible ? 9 : int(r + 1))
                << "kind " << c.kind << " row " << r;
    }
}
