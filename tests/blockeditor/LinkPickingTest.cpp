#include "EditorFixture.h"

using namespace jhk;
using jhk::test::EditorFixture;

namespace {

// A level-3 button with a branch in slot 0 and plain blocks in slots 1 and 2.
struct LinkFixture : EditorFixture {
    BlockEditorModel &e;
    LinkFixture()
        : e(open(place(KindButton)))
    {
        drop(8, 0, 1);
        drop(0, 0, 3);
        drop(2, 1, 5);
        messages.clear();
    }
};

} // namespace

TEST(LinkPicking, NextBlockPickSetsTheLinkAndRestoresTheEditor)
{
    LinkFixture f;
    f.click(0);
    ASSERT_TRUE(f.e.nextBlockButtonAvailable(0));
    ASSERT_TRUE(f.e.nextBlockButtonAvailable(1));
    f.e.nextBlockButton(0);
    EXPECT_EQ(f.m.app.RunMode, ModePickNextBlock);
    EXPECT_EQ(f.e.windowCaption(), "ジハンコウボウ　次に実行するブロック１を選択中");
    EXPECT_EQ(f.messages, std::vector<std::string>{"次に実行するブロックその１を選択してください"});
    EXPECT_FALSE(f.e.paletteEnabled());
    f.e.dropBlock(1, 0, 4000, 4000); // the palette is off while picking
    EXPECT_EQ(f.rec().BlockCount, 3);

    f.e.boxMouseDown(1, BoxButton::Left, 5, 5);
    EXPECT_EQ(f.block(0).NextBlock, 1);
    EXPECT_EQ(f.e.windowCaption(), "ジハンコウボウ　ブロック編集中");
    EXPECT_TRUE(f.e.paletteEnabled());
    EXPECT_EQ(f.m.app.RunMode, ModePickNextBlock); // until the button comes up
    f.e.boxMouseUp(1, BoxButton::Left);
    EXPECT_EQ(f.m.app.RunMode, 0);
    EXPECT_EQ(f.e.currentBlock(), 0);
    EXPECT_EQ(f.block(1).X, 0); // the pick did not move the box it went down on
    EXPECT_EQ(f.block(1).Y, 1653);

    f.e.nextBlockButton(1);
    EXPECT_EQ(f.e.windowCaption(), "ジハンコウボウ　次に実行するブロック２を選択中");
    EXPECT_EQ(f.messages.back(), "次に実行するブロックその２を選択してください");
    f.e.endBoxClick();
    EXPECT_EQ(f.block(0).NextBlock2, 99);
    EXPECT_EQ(f.m.app.RunMode, 0);

    f.click(0);
    EXPECT_EQ(f.e.panel().order.fields[0].text, "1");
    EXPECT_EQ(f.e.panel().order.fields[1].text, "終了");
}

TEST(LinkPicking, ABlockCannotFollowItselfButLoopsAreAllowed)
{
    LinkFixture f;
    f.click(2);
    f.e.nextBlockButton(0);
    f.messages.clear();
    f.e.boxMouseDown(2, BoxButton::Left, 5, 5);
    f.e.boxMouseUp(2, BoxButton::Left);
    EXPECT_EQ(f.messages, std::vector<std::string>{"次に実行するブロックを自分自身にすることはできません"});
    EXPECT_EQ(f.block(2).NextBlock, -1);
    EXPECT_EQ(f.m.app.RunMode, 0);
    EXPECT_TRUE(f.e.paletteEnabled()); // the refused pick gives the palette back

    f.e.nextBlockButton(0);
    f.click(1);
    f.click(1);
    f.e.nextBlockButton(0);
    f.click(2);
    EXPECT_EQ(f.block(2).NextBlock, 1);
    EXPECT_EQ(f.block(1).NextBlock, 2);
}

TEST(LinkPicking, FirstBlockIsPickedFromTheStartBox)
{
    LinkFixture f;
    f.e.startBoxMouseDown();
    const ExecutionOrderFrame &order = f.e.panel().order;
    EXPECT_EQ(order.caption.text, "最初に実行するブロックのNo.");
    EXPECT_EQ(order.fields[0].text, "未設定");
    EXPECT_TRUE(order.firstBlockButton);
    EXPECT_EQ(f.e.outlineOn(), OutlineOn::StartBox);

    f.e.startBoxDoubleClick();
    EXPECT_EQ(f.messages, std::vector<std::string>{"一番始めに動作するブロックを選択して下さい"});
    EXPECT_EQ(f.m.app.RunMode, ModePickBranchBlock);
    f.e.endBoxClick(); // the end box cannot come first
    EXPECT_EQ(f.m.app.RunMode, ModePickBranchBlock);
    f.click(2);
    EXPECT_EQ(f.rec().FirstBlock, 2);
    EXPECT_EQ(f.m.app.RunMode, 0);
    f.e.startBoxMouseDown();
    EXPECT_EQ(f.e.panel().order.fields[0].text, "2");

    f.click(2);
    f.e.deleteSelected();
    f.e.startBoxMouseDown();
    EXPECT_EQ(f.e.panel().order.fields[0].text, "未設定");
}

TEST(LinkPicking, FirstBlockPickNeedsABlock)
{
    EditorFixture f;
    auto &e = f.open(f.place(KindButton));
    e.firstBlockButton();
    EXPECT_EQ(f.messages, (std::vector<std::string>{"一番始めに動作するブロックを選択して下さい", "一個もブロックがありません"}));
    EXPECT_EQ(f.m.app.RunMode, 0);
}

TEST(LinkPicking, LevelOneOffersNoPickButtons)
{
    EditorFixture f(1);
    f.m.app.Step = 3;
    auto &e = f.open(f.place(KindButton)); // brings its level-1 program
    ASSERT_EQ(f.rec().BlockCount, 5);
    f.click(0);
    EXPECT_FALSE(e.panel().order.pickButtons[0]);
    EXPECT_FALSE(e.panel().order.pickButtons[1]);
    EXPECT_TRUE(e.panel().order.fields[1].visible);
    EXPECT_FALSE(e.deleteEnabled());
    e.startBoxMouseDown();
    EXPECT_FALSE(e.panel().order.firstBlockButton);
    e.startBoxDoubleClick();
    EXPECT_EQ(f.m.app.RunMode, 0);
    EXPECT_TRUE(f.messages.empty());
}

TEST(LinkPicking, ModesOtherThanEditingIgnoreEditingClicks)
{
    LinkFixture f;
    f.click(1);
    f.e.nextBlockButton(0);
    const PartsRecord before = f.rec();
    f.e.deleteSelected();
    f.e.startBoxDoubleClick();
    EXPECT_EQ(f.rec(), before);
    EXPECT_EQ(f.m.app.RunMode, ModePickNextBlock);
}

TEST(LinkPicking, PopupMenuActsOnTheBlockItWasOpenedOn)
{
    LinkFixture f;
    f.click(2);
    EXPECT_TRUE(f.e.boxMouseDown(1, BoxButton::Right, 5, 5));
    EXPECT_EQ(f.e.currentBlock(), 1);
    f.e.boxMouseUp(1, BoxButton::Right);
    EXPECT_EQ(f.block(1).Y, 1653); // a right click never moves the box
    f.e.deleteSelected();
    EXPECT_FALSE(f.block(1).isUsed());
    EXPECT_TRUE(f.block(2).isUsed());
}
