#include "sim/SimCommand.h"

#include "model/Kinds.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

namespace jhk {

namespace {

std::optional<SimCommand> refuse(SimParseProblem &problem, SimParseError error, const std::string &word)
{
    problem = {error, word};
    return std::nullopt;
}

} // namespace

std::vector<std::string> scriptWords(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

bool parseSmallInt(const std::string &s, int &out)
{
    if (s.empty() || s.size() > 9)
        return false;
    std::size_t i = s[0] == '-' || s[0] == '+' ? 1 : 0;
    if (i == s.size())
        return false;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (s[k] < '0' || s[k] > '9')
            return false;
    }
    out = std::stoi(s);
    return true;
}

std::string oneLine(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\r' || text[i] == '\n')
            out += "\\n";
        else
            out += text[i];
    }
    return out;
}

std::optional<SimCommand> parseSimCommand(std::string line, SimParseProblem &problem, SimParseOptions options)
{
    problem = {};
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#')
        return std::nullopt;
    line.erase(0, start);

    const auto w = scriptWords(line);
    if (w.empty()) // only white space of other kinds
        return std::nullopt;
    const std::string &name = w[0];
    auto rest = [&]() {
        if (line.size() == name.size())
            return std::string();
        return line.substr(name.size() + 1);
    };
    if (name == "money")
        return SimCommand{SimOp::Money, 0, false, rest()};
    if (name == "save") {
        const std::string path = rest();
        if (path.empty())
            return refuse(problem, SimParseError::SaveNeedsName, name);
        return SimCommand{SimOp::Save, 0, false, path};
    }

    struct Plain {
        const char *name;
        SimOp op;
    };
    for (const Plain p : {Plain{"run", SimOp::Run}, Plain{"stop", SimOp::Stop}, Plain{"stepmode", SimOp::StepMode},
                          Plain{"next", SimOp::Next}, Plain{"state", SimOp::State}}) {
        if (name != p.name)
            continue;
        if (w.size() != 1)
            return refuse(problem, SimParseError::TakesNoArgument, name);
        return SimCommand{p.op, 0, false, {}};
    }

    SimCommand c{SimOp::Touch, 0, false, {}};
    if (name == "touch" || name == "exercise") {
        c.op = name == "touch" ? SimOp::Touch : SimOp::Exercise;
        if (w.size() != 2)
            return refuse(problem, SimParseError::NeedsWholeNumber, name);
        if (!parseSmallInt(w[1], c.number)) {
            const bool numberLike = !w[1].empty() && (std::isdigit(static_cast<unsigned char>(w[1][0]))
                                                      || w[1][0] == '-' || w[1][0] == '+');
            if (c.op == SimOp::Touch && options.touchRoles && !numberLike) {
                c.text = w[1];
                return c;
            }
            return refuse(problem, SimParseError::NeedsWholeNumber, name);
        }
        if (c.op == SimOp::Exercise && (c.number < 1 || c.number > 3))
            return refuse(problem, SimParseError::ExerciseRange, name);
        return c;
    }
    if (name == "coin") {
        c.op = SimOp::Coin;
        const bool valueOk = w.size() >= 2 && parseSmallInt(w[1], c.number);
        const bool knownCoin = valueOk
            && std::find(CoinValues.begin(), CoinValues.end(), c.number) != CoinValues.end();
        c.away = w.size() == 3 && w[2] == "away";
        if (!knownCoin || w.size() > 3 || (w.size() == 3 && !c.away))
            return refuse(problem, SimParseError::BadCoin, name);
        return c;
    }
    return refuse(problem, SimParseError::UnknownCommand, name);
}

std::string simParseErrorText(const SimParseProblem &problem)
{
    switch (problem.error) {
    case SimParseError::None:
        break;
    case SimParseError::SaveNeedsName:
        return "save needs a file name";
    case SimParseError::TakesNoArgument:
        return problem.word + " takes no argument";
    case SimParseError::NeedsWholeNumber:
        return problem.word + " needs one whole number";
    case SimParseError::ExerciseRange:
        return "exercise takes 1, 2 or 3";
    case SimParseError::BadCoin:
        return "coin needs 1000, 500, 100, 50 or 10, optionally followed by \"away\"";
    case SimParseError::UnknownCommand:
        return "unknown command \"" + problem.word + "\"";
    }
    return {};
}

} // namespace jhk
