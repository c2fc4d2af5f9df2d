#include "rules/BlockPanel.h"

#include "model/AppState.h"
#include "model/Catalogue.h"

#include <span>

namespace jhk {

namespace {

struct ParamRowInfo {
    int row;
    const char *caption;
    int param;     // -1: a caption without a value
    bool partRow;  // the value names a part
};

struct KindInfo {
    int kind;
    const char *title;
    std::span<const ParamRowInfo> rows;
};

constexpr ParamRowInfo MoveRows[] = {{0, "対象パーツの移動先設定", -1, false}};
constexpr ParamRowInfo VariableRows[] = {
    {0, "対象変数１のＩＤまたは数値", 1, false},
    {1, "演算子", 2, false},
    {2, "対象変数２のＩＤまたは数値", 3, false},
    {3, "演算結果格納先変数のＩＤ", 4, false},
};
constexpr ParamRowInfo WaveRows[] = {{0, "Ｗａｖファイル名", 1, false}};
constexpr ParamRowInfo TextRows[] = {{0, "表示するテキスト", 1, false}};
constexpr ParamRowInfo WarningRows[] = {{0, "", 1, false}};
constexpr ParamRowInfo MessageRows[] = {{0, "相手先のパーツＩＤ", 1, false}, {1, "メッセージ名", 2, false}};
constexpr ParamRowInfo ImageRows[] = {{0, "切り替えるイメージの番号(現在1,2,3のみ有効)", 1, false}};
constexpr ParamRowInfo ScaleRows[] = {
    {0, "パーツの幅の拡大率（50_200）", 1, false},
    {1, "パーツの高さの拡大率（50_200）", 2, false},
};
constexpr ParamRowInfo DischargeRows[] = {{0, "どの商品を", 1, true}, {1, "どこに", 2, true}};
constexpr ParamRowInfo LampOnRows[] = {{0, "どのパーツのランプを？", 1, true}};
constexpr ParamRowInfo LampOffRows[] = {{0, "どのパーツのランプ？", 1, true}};
constexpr ParamRowInfo AddRows[] = {{0, "どのカウンターに？", 1, true}};
constexpr ParamRowInfo SubtractRows[] = {{0, "どのカウンターから？", 1, true}, {1, "どのパーツの値段を？", 2, true}};
constexpr ParamRowInfo ChangeRows[] = {{0, "どのカウンターの金額を？", 1, true}, {1, "どこに？", 2, false}};
constexpr ParamRowInfo SoldOutRows[] = {{0, "どのパーツの売り切れランプ？", 1, true}};
constexpr ParamRowInfo StockRows[] = {{0, "どの商品の在庫？", 1, true}};
constexpr ParamRowInfo BranchRows[] = {
    {0, "どのパーツの？", 1, true},
    {1, "プロパティまたは数値", 2, false},
    {2, "比較演算子", 3, false},
    {3, "どのパーツの？", 4, true},
    {4, "プロパティまたは数値", 5, false},
};

constexpr KindInfo Kinds[] = {
    {1, "パーツの移動", MoveRows},
    {2, "変数の操作", VariableRows},
    {3, "Ｗａｖファイルの再生", WaveRows},
    {4, "文字表示", TextRows},
    {5, "ビープを鳴らす", {}},
    {6, "警告文を出す", WarningRows},
    {7, "パーツの回転", {}},
    {8, "パーツの表示", {}},
    {9, "パーツの消去", {}},
    {10, "他のパーツにメッセージを送る", MessageRows},
    {11, "受け取ったメッセージの表示", {}},
    {12, "イメージの切り替え", ImageRows},
    {13, "パーツの拡大縮小", ScaleRows},
    {14, "時刻の表示", {}},
    {15, "パーツの複製", {}},
    {20, "商品排出", DischargeRows},
    {21, "購買可ランプ点灯", LampOnRows},
    {22, "購買可ランプ消灯", LampOffRows},
    {23, "投入金加算", AddRows},
    {24, "カウンター減算", SubtractRows},
    {25, "釣銭排出", ChangeRows},
    {26, "売切ランプ点灯", SoldOutRows},
    {27, "在庫減数", StockRows},
    {28, "条件分岐", BranchRows},
};

const KindInfo *kindInfoOf(int kind)
{
    for (const KindInfo &k : Kinds) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

const ParamRowInfo *rowOf(const KindInfo &kindInfo, int row)
{
    for (const ParamRowInfo &r : kindInfo.rows) {
        if (r.row == row)
            return &r;
    }
    return nullptr;
}

const ParamValue &param(const BlockRecord &b, int k)
{
    return b.Param[static_cast<std::size_t>(k)];
}

std::string partText(const ParamValue &v, const Machine &m, const Catalogue &catalogue)
{
    const int part = v.toInt();
    return std::to_string(part) + ":" + catalogue.kindName(m, part);
}

bool isPropertyName(const ParamValue &v)
{
    return v.isText("A") || v.isText("B") || v.isText("C");
}

} // namespace

std::string linkText(int link)
{
    if (link == LinkNone)
        return NotSetText;
    if (link == LinkEnd)
        return EndText;
    return std::to_string(link);
}

std::string blockKindTitle(int kind)
{
    const KindInfo *info = kindInfoOf(kind);
    return info ? info->title : "";
}

std::string renderParamRow(const BlockRecord &block, int row, const Machine &m, const Catalogue &catalogue)
{
    const KindInfo *info = kindInfoOf(block.Kind);
    const ParamRowInfo *r = info ? rowOf(*info, row) : nullptr;
    if (!r || r->param < 0)
        return {};
    const ParamValue &v = param(block, r->param);
    std::string text;
    const bool branch = block.Kind == BlockBranch;
    if (r->partRow && ((!branch && v.isInt() && v.intValue() >= 0) || (branch && !v.isUnset()))) {
        text = partText(v, m, catalogue);
    } else if (branch && (row == 1 || row == 4) && isPropertyName(v)) {
        const int owner = param(block, row == 1 ? 1 : 4).toInt();
        text = catalogue.variableLabel(m, owner, v.textValue());
    } else {
        text = v.toText();
    }
    if (text == "-1" && row != 3)
        text = NotSetText;
    return text;
}

void resetBlockPanel(BlockPanel &panel)
{
    panel = BlockPanel{};
}

void fillBlockPanel(BlockPanel &panel, const BlockRecord &block, int level, const Machine &m,
                    const Catalogue &catalogue)
{
    const int kind = block.Kind;
    ExecutionOrderFrame &order = panel.order;
    order.fields[0].text = linkText(block.NextBlock);
    order.fields[1].text = linkText(block.NextBlock2);
    if ((kind >= 1 && kind <= 15) || (kind >= FirstVendingBlock && kind <= LastVendingBlock)) {
        order.caption.visible = true;
        order.fields[0].visible = true;
    }
    if (kind >= FirstVendingBlock && kind <= LastVendingBlock)
        order.pickButtons[0] = true;
    if (kind == BlockBranch) {
        order.fields[1].visible = true;
        order.exitCaptions = {true, true};
        order.pickButtons[1] = true;
    }
    if (level == 1)
        order.pickButtons = {false, false};
    order.caption.text = NextBlockCaption;

    const KindInfo *info = kindInfoOf(kind);
    if (!info)
        return;
    panel.title = {info->title + std::string("の詳細"), true};
    for (const ParamRowInfo &r : info->rows) {
        const auto i = static_cast<std::size_t>(r.row);
        panel.captions[i] = {r.caption, true};
        if (r.param >= 0)
            panel.values[i] = {renderParamRow(block, r.row, m, catalogue), true};
    }
    panel.referenceButton = kind == 3;
}

} // namespace jhk
