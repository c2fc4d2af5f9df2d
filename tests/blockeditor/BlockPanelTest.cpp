#include "EditorFixture.h"

#include "rules/BlockPanel.h"

using namespace jhk;
using jhk::test::EditorFixture;

TEST(BlockPanel, RendersABranchWithCatalogueCaptions)
{
    EditorFixture f;
    const int product = f.place(KindProduct);
    const int counter = f.place(KindCounter);
    auto &e = f.open(f.place(KindButton));
    f.drop(8, 0, 1);
    BlockRecord &b = f.block(0);
    b.Param[1] = ParamValue(product);
    b.Param[2] = ParamValue("B");
    b.Param[3] = ParamValue(">=");
    f.click(0);
    const BlockPanel &p = e.panel();
    EXPECT_EQ(p.title.text, "条件分岐の詳細");
    const std::array<std::string, 5> values = {std::to_string(product) + ":商品", "在庫数", ">=", "-1", "未設定"};
    const std::array<std::string, 5> captions = {"どのパーツの？", "プロパティまたは数値", "比較演算子", "どのパーツの？",
                                                 "プロパティまたは数値"};
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(p.values[r].text, values[r]) << r;
        EXPECT_EQ(p.captions[r].text, captions[r]) << r;
    }
    b.Param[4] = ParamValue(counter);
    b.Param[5] = ParamValue("A");
    EXPECT_EQ(renderParamRow(b, 3, f.m, e.catalogue()), std::to_string(counter) + ":金額表示");
    EXPECT_EQ(renderParamRow(b, 4, f.m, e.catalogue()), "金額");
    b.Param[5] = ParamValue("7");
    EXPECT_EQ(renderParamRow(b, 4, f.m, e.catalogue()), "7");
}

TEST(BlockPanel, ExecutionOrderFrameFollowsTheBlockKind)
{
    struct Case {
        int kind;
        bool field1, field2, button1, button2, title;
    };
    const Case cases[] = {
        {20, true, false, true, false, true},
        {25, true, false, true, false, true},
        {28, true, true, true, true, true},
        {5, true, false, false, false, true},
        {0, false, false, false, false, false},
        {16, false, false, false, false, false},
    };
    EditorFixture f;
    const Catalogue catalogue(JHK_APP_DIR);
    for (const Case &c : cases) {
        BlockRecord b;
        b.Used = -1;
        b.Kind = static_cast<std::int16_t>(c.kind);
        b.NextBlock = 99;
        b.NextBlock2 = -1;
        for (ParamValue &v : b.Param)
            v = ParamValue(-1);
        BlockPanel p;
        resetBlockPanel(p);
        fillBlockPanel(p, b, 3, f.m, catalogue);
        EXPECT_EQ(p.order.fields[0].visible, c.field1) << c.kind;
        EXPECT_EQ(p.order.fields[1].visible, c.field2) << c.kind;
        EXPECT_EQ(p.order.pickButtons[0], c.button1) << c.kind;
        EXPECT_EQ(p.order.pickButtons[1], c.button2) << c.kind;
        EXPECT_EQ(p.order.exitCaptions[0], c.field2) << c.kind;
        EXPECT_EQ(p.title.visible, c.title) << c.kind;
        EXPECT_EQ(p.order.fields[0].text, "終了");
        EXPECT_EQ(p.order.fields[1].text, "未設定");
    }
}

TEST(BlockPanel, PartRowsOfVendingBlocks)
{
    EditorFixture f;
    const int outlet = f.place(KindProductOutlet);
    const Catalogue catalogue(JHK_APP_DIR);
    BlockRecord b;
    b.Kind = 20;
    for (ParamValue &v : b.Param)
        v = ParamValue(-1);
    b.Param[2] = ParamValue(outlet);
    EXPECT_EQ(renderParamRow(b, 0, f.m, catalogue), "未設定");
    EXPECT_EQ(renderParamRow(b, 1, f.m, catalogue), std::to_string(outlet) + ":商品出口");
    EXPECT_EQ(renderParamRow(b, 2, f.m, catalogue), "");
    b.Kind = 25;
    EXPECT_EQ(renderParamRow(b, 1, f.m, catalogue), std::to_string(outlet)); // "どこに？" is not a part row
}
