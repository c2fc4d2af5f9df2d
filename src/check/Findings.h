#pragma once

#include <string>
#include <vector>

namespace jhk {

// How the report words what a check found, in the program's language.

// 「TEXT」
std::string quoted(const std::string &text);
// The messages shown, each in 「」, or なし.
std::string messagesWord(const std::vector<std::string> &messages);
// "WHAT 期待 X、実際 Y" (or 模範 for the model answer).
std::string disagreement(const std::string &what, const std::string &expected, const std::string &seen,
                     const char *expectedWord = "期待");
// "N行目: TEXT"
std::string atLine(int line, const std::string &text);
// "財布の100円"
std::string walletWhat(int d);
// What a scenario line says it expects, e.g. "金額表示1 の表示".
inline constexpr const char *MessageWhat = "メッセージ";
inline constexpr const char *ProductsWhat = "出た商品の数";
inline constexpr const char *MoneyWhat = "所持金";
std::string lampWhat(const std::string &part);
std::string displayWhat(const std::string &part);
std::string stockWhat(const std::string &part);
std::string productsOnWhat(const std::string &outlet);

} // namespace jhk
