#include "check/Scenario.h"

#include "sim/SimCommand.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace jhk {

std::string ScenarioError::describe() const
{
    return line > 0 ? file + ":" + std::to_string(line) + ": " + text : file + ": " + text;
}

Lamp lampOf(int a, int b)
{
    return a == 1 ? Lamp::Buy : b == 1 ? Lamp::SoldOut : Lamp::Off;
}

std::string displayWord(const std::string &digits)
{
    return digits.empty() ? BlankDisplay : digits;
}

namespace {

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no surrogates
// and nothing past U+10FFFF.
bool validUtf8(const std::string &s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        unsigned char low = 0x80, high = 0xBF; // the second byte's range
        if (c < 0x80)
            n = 0;
        else if (c >= 0xC2 && c <= 0xDF)
            n = 1;
        else if (c >= 0xE0 && c <= 0xEF) {
            n = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            n = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else
            return false;
        if (i + n >= s.size() && n > 0)
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            if (k == 1 ? (b < low || b > high) : (b & 0xC0) != 0x80)
                return false;
        }
        i += n + 1;
    }
    return true;
}

std::string trim(const std::string &s)
{
    const auto a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos)
        return {};
    const auto b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

constexpr int SmallestNumber = -32768;
constexpr int LargestNumber = 32767;
constexpr int LargestDisplay = 9999;

class Parser {
public:
    Parser(std::string fileName, Language language) : m_file(std::move(fileName)), m_lang(language) {}

    ScenarioParse run(const std::string &text)
    {
        std::istringstream in(text);
        int lineNo = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            if (lineNo == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) // Notepad's byte order mark
                line.erase(0, 3);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.find('\0') != std::string::npos)
                return fail(lineNo, pick(m_lang, "NUL 文字 (0 番の文字) があります。シナリオファイルは文字だけのファイルです",
                                         "a NUL character; a scenario file holds text only"));
            if (!validUtf8(line))
                return fail(lineNo, pick(m_lang, "UTF-8 の文字ではありません。シナリオファイルは UTF-8 で保存してください",
                                         "not UTF-8 text; save the scenario file as UTF-8"));
            if (!parseLine(line, lineNo))
                return std::move(m_out);
        }
        if (m_out.scenarios.empty())
            return fail(0, pick(m_lang, "シナリオがありません", "the file holds no scenario"));
        return std::move(m_out);
    }

private:
    ScenarioParse fail(int line, const std::string &text)
    {
        failed(line, text);
        return std::move(m_out);
    }
    bool failed(int line, const std::string &text)
    {
        m_out.scenarios.clear();
        m_out.error = ScenarioError{m_file, line, text};
        return false;
    }

    Scenario &current(int lineNo)
    {
        if (m_out.scenarios.empty())
            m_out.scenarios.push_back(Scenario{std::filesystem::path(m_file).stem().string(), m_file, lineNo, {}});
        return m_out.scenarios.back();
    }

    bool parseLine(const std::string &line, int lineNo)
    {
        const auto w = scriptWords(line);
        if (w.empty() || w[0][0] == '#')
            return true;
        if (w[0] == "scenario") {
            const std::string name = trim(line.substr(line.find("scenario") + 8));
            if (name.empty())
                return failed(lineNo, pick(m_lang, "scenario の後にはシナリオの名前を書きます", "scenario needs a name"));
            for (const Scenario &s : m_out.scenarios) {
                if (s.name == name)
                    return failed(lineNo, std::string(pick(m_lang, "シナリオの名前「", "the scenario name \"")) + name
                                              + pick(m_lang, "」はもう使われています", "\" is used twice"));
            }
            m_out.scenarios.push_back(Scenario{name, m_file, lineNo, {}});
            return true;
        }
        if (w[0] == "expect")
            return parseExpectation(line, w, lineNo);
        return parseCommand(line, w, lineNo);
    }

    bool parseCommand(const std::string &line, const std::vector<std::string> &w, int lineNo)
    {
        if (w[0] == "save" || w[0] == "state")
            return failed(lineNo, w[0] + pick(m_lang, " はシナリオでは使えません", " cannot be used in a scenario"));
        SimParseProblem problem;
        const auto command = parseSimCommand(line, problem, SimParseOptions{true});
        if (!command)
            return failed(lineNo, commandProblem(problem));
        ScenarioStep step;
        step.line = lineNo;
        step.command = *command;
        if (command->op == SimOp::Touch && !command->text.empty()) {
            const auto role = parseRole(command->text);
            if (!role)
                return failed(lineNo, notARole(command->text));
            step.touched = PartRef{role, -1, command->text};
        }
        current(lineNo).steps.push_back(step);
        return true;
    }

    std::string commandProblem(const SimParseProblem &p) const
    {
        switch (p.error) {
        case SimParseError::TakesNoArgument:
            return p.word + pick(m_lang, " の後には何も書きません", " takes no argument");
        case SimParseError::NeedsWholeNumber:
            if (p.word == "touch")
                return pick(m_lang, "touch の後にはパーツの番号か役割 (ボタン1 など) を一つ書きます",
                            "touch needs one part number or role, such as ボタン1");
            [[fallthrough]];
        case SimParseError::ExerciseRange:
            return pick(m_lang, "exercise の後には 1、2、3 のどれかを書きます", "exercise takes 1, 2 or 3");
        case SimParseError::BadCoin:
            return pick(m_lang, "coin の後には 1000、500、100、50、10 のどれかを書きます (その後に away も書けます)",
                        "coin needs 1000, 500, 100, 50 or 10, optionally followed by \"away\"");
        case SimParseError::UnknownCommand:
            return std::string(pick(m_lang, "「", "unknown command \"")) + p.word
                + pick(m_lang, "」という命令はありません", "\"");
        case SimParseError::SaveNeedsName:
        case SimParseError::None:
            break;
        }
        return simParseErrorText(p);
    }

    std::string notARole(const std::string &word) const
    {
        return std::string(pick(m_lang, "「", "\"")) + word
            + pick(m_lang, "」はパーツの役割ではありません (ボタン1、商品2、釣レバー1 のように書きます)",
                   "\" is not a part's role (write ボタン1, 商品2, 釣レバー1 ...)");
    }

    bool number(const std::string &word, int &out, bool allowNegative, int lineNo)
    {
        if (!parseSmallInt(word, out) || (!allowNegative && out < 0))
            return failed(lineNo, std::string(pick(m_lang, "「", "\"")) + word
                                      + pick(m_lang, allowNegative ? "」は整数ではありません" : "」は 0 以上の整数ではありません",
                                             allowNegative ? "\" is not a whole number" : "\" is not a whole number of 0 or more"));
        // Stock, money and counts are kept as 16-bit numbers: nothing outside them can be seen.
        if (out < SmallestNumber || out > LargestNumber)
            return failed(lineNo, std::string(pick(m_lang, "「", "\"")) + word
                                      + pick(m_lang, "」にはなりません (-32768 から 32767 までの数を書きます)",
                                             "\" can never be seen (write a number from -32768 to 32767)"));
        return true;
    }

    // A role of `kind` or a slot number.
    bool part(const std::string &word, int kind, const char *what, PartRef &out, int lineNo)
    {
        int slot = 0;
        if (parseSmallInt(word, slot) && slot >= 0 && slot < PartSlots) {
            out = PartRef{std::nullopt, slot, word};
            return true;
        }
        const auto role = parseRole(word);
        if (!role)
            return failed(lineNo, notARole(word));
        if (role->kind != kind) {
            const std::string caption(PartsKindCaptions[static_cast<std::size_t>(kind)]);
            return failed(lineNo, std::string(what) + pick(m_lang, " には", " needs a ") + caption
                                      + pick(m_lang, "の役割 (", " role, such as ") + caption + "1"
                                      + pick(m_lang, " など) を書きます", ""));
        }
        out = PartRef{role, -1, word};
        return true;
    }

    bool parseExpectation(const std::string &line, const std::vector<std::string> &w, int lineNo)
    {
        ScenarioStep step;
        step.line = lineNo;
        step.isExpectation = true;
        Expectation &e = step.expect;
        const std::string what = w.size() > 1 ? w[1] : std::string();
        auto count = [&](std::size_t n) {
            if (w.size() == n)
                return true;
            return failed(lineNo, "expect " + what
                                      + pick(m_lang, " の後の書き方が違います: ", ": wrong number of words; write ")
                                      + usage(what));
        };
        if (what == "message") {
            const std::string rest = line.substr(line.find("message") + 7);
            e.kind = ExpectKind::Message;
            e.text = trim(rest);
            if (e.text.empty())
                return failed(lineNo, pick(m_lang, "expect message の後にはメッセージの文を書きます",
                                           "expect message needs the message's text"));
        } else if (what == "no") {
            if (w.size() != 3 || w[2] != "message")
                return failed(lineNo, pick(m_lang, "expect no message と書きます", "write expect no message"));
            e.kind = ExpectKind::NoMessage;
        } else if (what == "lamp") {
            if (!count(4) || !part(w[2], KindButton, "expect lamp", e.part, lineNo))
                return false;
            e.kind = ExpectKind::Lamp;
            bool known = false;
            for (int l = 0; l < 3; ++l) {
                if (w[3] == LampWords[l]) {
                    e.lamp = static_cast<Lamp>(l);
                    known = true;
                }
            }
            if (!known)
                return failed(lineNo, pick(m_lang, "ランプは 購入、売切、消灯 のどれかを書きます",
                                           "a lamp is 購入 (buy), 売切 (sold out) or 消灯 (off)"));
        } else if (what == "display") {
            if (!count(4) || !part(w[2], KindCounter, "expect display", e.part, lineNo))
                return false;
            e.kind = ExpectKind::Display;
            int value = 0;
            if (w[3] == BlankDisplay)
                e.text.clear();
            else if (parseSmallInt(w[3], value) && value >= 0 && w[3][0] != '+') {
                // An amount display has four digits.
                if (value > LargestDisplay)
                    return failed(lineNo, pick(m_lang, "金額表示は 4 けたまでです (0 から 9999 までの数か 空 を書きます)",
                                               "a display has four digits (write 0 to 9999 or 空)"));
                e.text = std::to_string(value);
            } else
                return failed(lineNo, pick(m_lang, "金額表示には数字か 空 を書きます", "a display shows a number or 空 (blank)"));
        } else if (what == "products") {
            if (w.size() != 4 && !count(3))
                return false;
            if (!number(w[2], e.value, false, lineNo)
                || (w.size() == 4 && !part(w[3], KindProductOutlet, "expect products", e.part, lineNo)))
                return false;
            e.kind = ExpectKind::Products;
        } else if (what == "stock") {
            if (!count(4) || !part(w[2], KindProduct, "expect stock", e.part, lineNo) || !number(w[3], e.value, true, lineNo))
                return false;
            e.kind = ExpectKind::Stock;
        } else if (what == "money") {
            if (!count(3) || !number(w[2], e.value, true, lineNo))
                return false;
            e.kind = ExpectKind::Money;
        } else if (what == "coins") {
            int yen = 0;
            if (!count(4) || !number(w[2], yen, false, lineNo) || !number(w[3], e.value, false, lineNo))
                return false;
            e.kind = ExpectKind::Coins;
            e.coin = -1;
            for (std::size_t d = 0; d < CoinValues.size(); ++d) {
                if (CoinValues[d] == yen)
                    e.coin = static_cast<int>(d);
            }
            if (e.coin < 0)
                return failed(lineNo, pick(m_lang, "expect coins の金額は 1000、500、100、50、10 のどれかです",
                                           "expect coins takes 1000, 500, 100, 50 or 10"));
        } else {
            return failed(lineNo, pick(m_lang,
                                       "expect の後には message、no message、lamp、display、products、stock、money、coins のどれかを書きます",
                                       "expect takes message, no message, lamp, display, products, stock, money or coins"));
        }
        current(lineNo).steps.push_back(step);
        return true;
    }

    static std::string usage(const std::string &what)
    {
        if (what == "lamp")
            return "expect lamp ボタン1 購入|売切|消灯";
        if (what == "display")
            return "expect display 金額表示1 150|空";
        if (what == "products")
            return "expect products 1 [商品出口1]";
        if (what == "stock")
            return "expect stock 商品1 4";
        if (what == "money")
            return "expect money 2550";
        return "expect coins 100 3";
    }

    std::string m_file;
    Language m_lang;
    ScenarioParse m_out;
};

} // namespace

ScenarioParse parseScenarios(const std::string &text, const std::string &fileName, Language language)
{
    return Parser(fileName, language).run(text);
}

ScenarioParse readScenarioFile(const std::string &path, Language language)
{
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, ec))
        in.open(path, std::ios::binary);
    // A scenario is a few dozen lines: anything far larger is not one.
    constexpr std::uintmax_t largest = 4 * 1024 * 1024;
    if (!in || std::filesystem::file_size(path, ec) > largest || ec) {
        ScenarioParse p;
        p.error = ScenarioError{path, 0, pick(language, "シナリオファイルを読めません", "cannot read the scenario file")};
        return p;
    }
    std::ostringstream s;
    s << in.rdbuf();
    return parseScenarios(s.str(), path, language);
}

} // namespace jhk
