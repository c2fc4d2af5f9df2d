#include "check/Findings.h"

#include "model/Kinds.h"

namespace jhk {

std::string quoted(const std::string &text)
{
    return "「" + text + "」";
}

std::string messagesWord(const std::vector<std::string> &messages)
{
    if (messages.empty())
        return "なし";
    std::string out;
    for (const std::string &m : messages)
        out += quoted(m);
    return out;
}

std::string disagreement(const std::string &what, const std::string &expected, const std::string &seen,
                     const char *expectedWord)
{
    return what + " " + expectedWord + " " + expected + "、実際 " + seen;
}

std::string atLine(int line, const std::string &text)
{
    return std::to_string(line) + "行目: " + text;
}

std::string walletWhat(int d)
{
    return "財布の" + std::to_string(CoinValues[static_cast<std::size_t>(d)]) + "円";
}

std::string lampWhat(const std::string &part)
{
    return part + " のランプ";
}

std::string displayWhat(const std::string &part)
{
    return part + " の表示";
}

std::string stockWhat(const std::string &part)
{
    return part + " の在庫";
}

std::string productsOnWhat(const std::string &outlet)
{
    return outlet + " に出た商品の数";
}

} // namespace jhk
