#include "EditorFixture.h"

#include "rules/BlockDetailModel.h"

using namespace jhk;
using jhk::test::EditorFixture;

namespace {

struct DetailFixture : EditorFixture {
    int button = place(KindButton);
    int product = place(KindProduct);
    BlockEditorModel &e = open(button);

    // Drops a block of `position`, selects it and opens its detail dialog.
    BlockDetailModel dialogFor(int position, std::function<void(BlockRecord &)> setUp = {})
    {
        drop(position, 1, 1 + rec().BlockCount);
        const int slot = e.currentBlock();
        if (setUp)
            setUp(block(slot));
        click(slot);
        return BlockDetailModel(m, button, slot, e.panel(), JHK_APP_DIR);
    }
};

} // namespace

TEST(BlockDetail, RowsAndButtonsPerKind)
{
    struct Case {
        int position;
        int operands;
        std::array<bool, 3> buttons;
        int width;
        const char *title0;
    };
    const Case cases[] = {
        {0, 2, {true, true, false}, 259, "どの商品を"},
        {1, 1, {true, false, false}, 259, "どのパーツのランプを？"},
        {4, 2, {true, true, false}, 259, "どのカウンターから？"},
        {5, 1, {true, false, false}, 259, "どのカウンターの金額を？"},
        {7, 1, {true, false, false}, 259, "どの商品の在庫？"},
        {8, 3, {true, false, true}, 418, ""}, // a new branch: no property rows until its parts are picked
    };
    for (const Case &c : cases) {
        DetailFixture f;
        BlockDetailModel d = f.dialogFor(c.position);
        int shown = 0;
        for (const ShownText &o : d.operands())
            shown += o.visible;
        EXPECT_EQ(shown, c.operands) << c.position;
        EXPECT_EQ(d.pickButtons(), c.buttons) << c.position;
        EXPECT_EQ(d.widthPx(), c.width);
        EXPECT_EQ(d.operatorList().visible, c.position == 8);
        EXPECT_FALSE(d.lampList().visible);
        if (c.position != 8)
            EXPECT_EQ(d.rowTitles()[0].text, c.title0);
        EXPECT_EQ(d.blockName(), f.block(f.e.currentBlock()).Caption);
        EXPECT_EQ(d.operands()[0].text, "未設定");
    }
}

TEST(BlockDetail, ExplanationComesFromBlockIni)
{
    DetailFixture f;
    EXPECT_TRUE(f.dialogFor(0).explanation().starts_with("商品を１つ出します"));
    BlockDetailModel unknown = f.dialogFor(1, [](BlockRecord &b) { b.Kind = 5; });
    EXPECT_EQ(unknown.explanation(), "ブロックの説明");
}

TEST(BlockDetail, LampBranchStoresTheChosenState)
{
    DetailFixture f;
    BlockDetailModel d = f.dialogFor(8, [&](BlockRecord &b) {
        b.Param[1] = ParamValue(f.button);
        b.Param[2] = ParamValue("A");
        b.Param[5] = ParamValue(1);
    });
    EXPECT_EQ(d.operands()[1].text, "購買可ランプ");
    EXPECT_TRUE(d.lampList().visible);
    EXPECT_EQ(d.lampList().text, "点灯");
    EXPECT_FALSE(d.operands()[4].visible);
    EXPECT_FALSE(d.pickButtons()[2]);
    EXPECT_EQ(d.operatorList().items, (std::vector<std::string>{"未設定", ">", ">=", "=", "<", "<="}));

    d.chooseOperator("=");
    EXPECT_EQ(f.e.panel().values[2].text, "=");
    d.chooseLamp("消灯");
    d.confirm();
    const BlockRecord &b = f.block(f.e.currentBlock());
    EXPECT_EQ(b.Param[3], ParamValue("="));
    EXPECT_EQ(b.Param[4], ParamValue(-1));
    EXPECT_EQ(b.Param[5], ParamValue(0));
    EXPECT_EQ(b.Complete, -1);
}

// Back from a pick on the stage, the lamp list is offered again without a preset state.
TEST(BlockDetail, ReopenedLampBranchDoesNotPresetTheLampAgain)
{
    DetailFixture f;
    auto lampBranch = [&](BlockRecord &b) {
        b.Param[1] = ParamValue(f.button);
        b.Param[2] = ParamValue("A");
        b.Param[5] = ParamValue(1);
    };
    BlockDetailModel d = f.dialogFor(8, lampBranch);
    ASSERT_EQ(d.lampList().text, "点灯");
    f.m.app.DetailReopen = -1;
    BlockDetailModel again(f.m, f.button, f.e.currentBlock(), f.e.panel(), JHK_APP_DIR);
    again.reactivate();
    EXPECT_TRUE(again.lampList().visible);
    EXPECT_EQ(again.lampList().items, (std::vector<std::string>{"点灯", "消灯"}));
    EXPECT_EQ(again.lampList().text, "");
    EXPECT_FALSE(again.operands()[4].visible);
}

TEST(BlockDetail, StockBranchTakesATypedNumber)
{
    DetailFixture f;
    BlockDetailModel d = f.dialogFor(8, [&](BlockRecord &b) {
        b.Param[1] = ParamValue(f.product);
        b.Param[2] = ParamValue("B");
    });
    ASSERT_TRUE(d.needsStockNumber(2));
    EXPECT_FALSE(d.requestPick(2).has_value());
    EXPECT_EQ(f.m.app.DetailReopen, 0);
    const std::pair<const char *, const char *> answers[] = {
        {"1001", "在庫数比較：0以上1000以下の数値を入力して下さい"},
        {"-1", "在庫数比較：0以上1000以下の数値を入力して下さい"},
        {"たくさん", "数値以外は受け付けられません"},
        {"", ""},
        {"12.5", ""}, // any number from 0 to 1000
        {"1000.5", "在庫数比較：0以上1000以下の数値を入力して下さい"},
    };
    for (const auto &[answer, message] : answers)
        EXPECT_EQ(d.enterStockNumber(answer), message) << answer;
    EXPECT_EQ(d.operands()[3].text, "12.5");
    EXPECT_EQ(d.enterStockNumber("1000"), "");
    EXPECT_EQ(d.operands()[3].text, "1000");
    EXPECT_EQ(f.block(f.e.currentBlock()).Param[5], ParamValue("1000"));
}

TEST(BlockDetail, PickButtonsAskForAPickOnTheStage)
{
    DetailFixture f;
    BlockDetailModel d = f.dialogFor(0);
    const auto pick = d.requestPick(1);
    ASSERT_TRUE(pick.has_value());
    EXPECT_EQ(pick->runMode, ModePickOperand2);
    EXPECT_EQ(pick->message, "");
    EXPECT_EQ(f.m.app.DetailReopen, -1);
    EXPECT_FALSE(d.requestPick(2).has_value()); // no third button for a discharge

    EditorFixture level1(1);
    level1.m.app.Step = 3;
    const int button = level1.place(KindButton);
    auto &e = level1.open(button);
    level1.click(1);
    BlockDetailModel d1(level1.m, button, 1, e.panel(), JHK_APP_DIR);
    EXPECT_EQ(d1.requestPick(0)->message, "パーツを選択してください");
    EXPECT_EQ(d1.requestPick(1)->message, "パーツを選んでください");
}

TEST(BlockDetail, ConfirmMarksCompleteOnlyWhenAnOperandIsSet)
{
    DetailFixture f;
    BlockDetailModel empty = f.dialogFor(8);
    empty.confirm();
    const BlockRecord &b = f.block(f.e.currentBlock());
    EXPECT_EQ(b.Complete, 0);
    EXPECT_TRUE(b.Param[3].isUnset()); // an unset operator is not stored as the text "未設定"

    BlockDetailModel set = f.dialogFor(1, [&](BlockRecord &blk) { blk.Param[1] = ParamValue(f.button); });
    set.confirm();
    EXPECT_EQ(f.block(f.e.currentBlock()).Complete, -1);
    EXPECT_TRUE(f.e.scene().boxes.back().complete);
}

TEST(BlockDetail, PickOnTheStageUpdatesTheOperandTexts)
{
    DetailFixture f;
    BlockDetailModel d = f.dialogFor(0);
    const auto pick = d.requestPick(0);
    ASSERT_TRUE(pick);
    f.e.beginStagePick(pick->runMode);
    f.block(f.e.currentBlock()).Param[1] = ParamValue(f.product); // what the stage's pick writes
    f.e.finishStagePick();
    EXPECT_TRUE(f.e.activate(true));
    EXPECT_EQ(f.m.app.RunMode, 0);
    BlockDetailModel again(f.m, f.button, f.e.currentBlock(), f.e.panel(), JHK_APP_DIR);
    again.reactivate();
    EXPECT_EQ(f.m.app.DetailReopen, 0);
    EXPECT_EQ(again.operands()[0].text, std::to_string(f.product) + ":商品");
    EXPECT_FALSE(f.e.activate(true));
}
