#include "rules/StageTexts.h"

#include <array>

namespace jhk {

namespace {

constexpr std::string_view FullWidthSpace = "\u3000";

std::string repeat(std::string_view piece, int times)
{
    std::string s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

std::string fw(int times) { return repeat(FullWidthSpace, times); }
std::string spaces(int times) { return std::string(static_cast<std::size_t>(times), ' '); }

} // namespace

std::string levelDescription(int level)
{
    static const std::array<std::string_view, 3> texts = {
        "パーツにはブロックが設定されています。",
        "パーツごとに、設定できるブロックが制限されています。",
        "パーツ・ブロックを自由に選択し、設定する事ができます。",
    };
    if (level < 1 || level > 3)
        return {};
    return std::string(texts[static_cast<std::size_t>(level - 1)]);
}

std::string startWindowLevelText(int index)
{
    if (index == 2)
        return "パーツ、ブロックを自由に選択し、設定する事ができます";
    return optionWindowLevelText(index);
}

std::string optionWindowLevelText(int index)
{
    static const std::array<std::string_view, 3> texts = {
        "パーツにはブロックが設定されています。",
        "パーツごとに、設定できるブロックが制限されています。",
        "パーツ、ブロックを自由に選択し、設定する事ができます。",
    };
    if (index < 0 || index > 2)
        return {};
    return std::string(texts[static_cast<std::size_t>(index)]);
}

std::string stepExplanation(int step)
{
    const std::string parts = "使用するパーツ：商品、ボタン、排出口";
    const std::string insertMoney =
        "お金を入れるとカウンターに金額が表示されて、金額が商品の値段を超えていたら、ボタンのランプを点ける";
    const std::string pressButton = "ランプが点いているときにボタンを押すと、商品が出る";
    switch (step) {
    case 1:
        return parts + fw(23) + " \n" + fw(2) + "ボタンを押すと、商品が排出口にでてくる";
    case 2:
        return parts + "、" + spaces(35) + "カウンター、投入口 \n" + fw(2) + " \n" + fw(1) + insertMoney
            + fw(22) + " \n" + fw(1) + pressButton;
    case 3:
        return parts + "、" + spaces(9) + "カウンター、投入口、釣銭レバー、釣先口 \n" + fw(2) + " \n" + fw(1)
            + pressButton + "。カウンターからジュースの値段分の金額が引かれて、金額が商品の値段より低かったらランプを消す。 \n"
            + fw(2) + " \n" + fw(1) + insertMoney + "。 \n" + fw(2) + " \n" + fw(1)
            + "釣銭レバーを押すと、金額カウンター分のお釣をだして、ボタンのランプを消す。";
    default:
        return {};
    }
}

std::string levelCaption(int level) { return "レベル" + std::to_string(level); }

std::string partsCountCaption(int partsCount, int labelCount)
{
    if (partsCount > 0 || labelCount > 0)
        return "パーツの数：" + std::to_string(partsCount) + "個";
    return "パーツの数：";
}
std::string stepCaption(int step) { return "ステップ" + std::to_string(step); }

std::string levelChangedMessage(int level) { return "レベルを" + std::to_string(level) + "に変更しました"; }

} // namespace jhk
