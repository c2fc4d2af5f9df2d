// jihankobo-sim: plays a script of pupil actions against a machine document without a window
// and prints what the pupil would see, one event a line.
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "engine/StageView.h"
#include "model/AppPaths.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace jhk;

constexpr const char *Program = "jihankobo-sim";
constexpr jhk::Usage SimUsage{
    "usage: jihankobo-sim [--app-dir DIR] MACHINE.jhk [SCRIPT]\n"
    "       jihankobo-sim --help | --version\n"
    "Opens a machine document and plays a script of pupil actions on it without a window\n"
    "(standard input when no SCRIPT is given), printing what the pupil would see.\n"
    "  --app-dir DIR  the application folder (catalogue, pictures); default: the program's own\n"
    "Exit status: 0 after the whole script, 1 when the machine could not be opened,\n"
    "2 for a wrong command line or script line.\n",
    "使い方: jihankobo-sim [--app-dir フォルダ] マシン.jhk [スクリプト]\n"
    "        jihankobo-sim --help | --version\n"
    "マシンのファイルを開き、児童の操作を書いたスクリプト（省略すると標準入力）を画面なしで実行して、\n"
    "児童に見えることを出力します。\n"
    "  --app-dir フォルダ  アプリケーションフォルダ（カタログ、絵）。省略するとプログラムのフォルダ\n"
    "終了コード: 0 スクリプトを最後まで実行した、1 マシンを開けなかった、2 コマンドラインかスクリプトの行が正しくない\n"};

// A text on one output line: a line break inside it is written as the two characters \n.
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

// Every event as one line on standard output; message boxes are answered at once.
class PrintingView : public StageView {
public:
    void showMessage(const std::string &text) override { std::cout << "message\t" << oneLine(text) << '\n'; }
    void runListLineAdded(const std::string &line) override { std::cout << "list\t" << oneLine(line) << '\n'; }
};

class PrintingPlayer : public SoundPlayer {
public:
    void play(const std::string &name, PlayMode mode) override
    {
        const char *how = mode == PlayMode::Sync ? "sync" : mode == PlayMode::Async ? "async" : "loop";
        std::cout << "sound\t" << name << '\t' << how << '\n';
    }
    void stop() override {}
};

enum class Op { Run, Stop, StepMode, Next, Touch, Coin, Money, Exercise, Save, State };

struct Command {
    Op op;
    int number = 0;     // touch N, coin YEN, exercise N
    bool away = false;  // coin YEN away
    std::string text;   // money TEXT, save PATH
};

bool parseInt(const std::string &s, int &out)
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

std::vector<std::string> words(const std::string &line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// One script line; nothing for a blank line or a comment; an error text for a malformed line.
std::optional<Command> parseLine(std::string line, std::string &error)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#')
        return std::nullopt;
    line.erase(0, start);

    const auto w = words(line);
    if (w.empty()) // only white space of other kinds
        return std::nullopt;
    const std::string &name = w[0];
    auto rest = [&]() -> std::optional<std::string> {
        if (line.size() == name.size())
            return std::string();
        return line.substr(name.size() + 1);
    };
    if (name == "money")
        return Command{Op::Money, 0, false, *rest()};
    if (name == "save") {
        const std::string path = *rest();
        if (path.empty()) {
            error = "save needs a file name";
            return std::nullopt;
        }
        return Command{Op::Save, 0, false, path};
    }

    struct Plain {
        const char *name;
        Op op;
    };
    for (const Plain p : {Plain{"run", Op::Run}, Plain{"stop", Op::Stop}, Plain{"stepmode", Op::StepMode},
                          Plain{"next", Op::Next}, Plain{"state", Op::State}}) {
        if (name != p.name)
            continue;
        if (w.size() != 1) {
            error = name + " takes no argument";
            return std::nullopt;
        }
        return Command{p.op, 0, false, {}};
    }

    Command c{Op::Touch, 0, false, {}};
    if (name == "touch" || name == "exercise") {
        c.op = name == "touch" ? Op::Touch : Op::Exercise;
        if (w.size() != 2 || !parseInt(w[1], c.number)) {
            error = name + " needs one whole number";
            return std::nullopt;
        }
        if (c.op == Op::Exercise && (c.number < 1 || c.number > 3)) {
            error = "exercise takes 1, 2 or 3";
            return std::nullopt;
        }
        return c;
    }
    if (name == "coin") {
        c.op = Op::Coin;
        const bool valueOk = w.size() >= 2 && parseInt(w[1], c.number);
        const bool knownCoin = valueOk
            && std::find(CoinValues.begin(), CoinValues.end(), c.number) != CoinValues.end();
        c.away = w.size() == 3 && w[2] == "away";
        if (!knownCoin || w.size() > 3 || (w.size() == 3 && !c.away)) {
            error = "coin needs 1000, 500, 100, 50 or 10, optionally followed by \"away\"";
            return std::nullopt;
        }
        return c;
    }
    error = "unknown command \"" + name + "\"";
    return std::nullopt;
}

std::string jsonString(const std::string &s)
{
    std::string out = "\"";
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string stateJson(const Engine &engine)
{
    const Machine &m = engine.machine();
    const AppState &app = m.app;
    const Stage &stage = engine.stage();
    std::ostringstream o;
    o << "{\"run_mode\":" << app.RunMode << ",\"level\":" << int(app.Level) << ",\"step\":" << int(app.Step)
      << ",\"money_in_hand\":" << app.MoneyInHand << ",\"money_setting\":" << app.MoneySetting << ",\"wallet\":[";
    for (std::size_t d = 0; d < app.Wallet.size(); ++d)
        o << (d ? "," : "") << app.Wallet[d];
    o << "],\"discharged\":" << stage.products.size() << ",\"parts_count\":" << app.PartsCount
      << ",\"label_count\":" << app.LabelCount << ",\"parts\":[";
    bool first = true;
    for (int i = 0; i < PartSlots; ++i) {
        const PartsRecord &p = m.part(i);
        if (!p.isUsed())
            continue;
        o << (first ? "" : ",") << "{\"slot\":" << i << ",\"kind\":" << p.Kind << ",\"a\":" << p.A()
          << ",\"b\":" << p.B() << ",\"c\":" << p.C() << ",\"lamp_link\":" << p.LampLink
          << ",\"picture\":" << jsonString(stage.part(i).picture)
          << ",\"display\":" << jsonString(stage.part(i).digits) << ",\"first_block\":" << p.FirstBlock
          << ",\"block_count\":" << p.BlockCount << ",\"left\":" << stage.part(i).rect.left
          << ",\"top\":" << stage.part(i).rect.top << "}";
        first = false;
    }
    o << "],\"products\":[";
    first = true;
    for (const ProductImage &img : stage.products) {
        o << (first ? "" : ",") << "{\"n\":" << img.n << ",\"picture\":" << jsonString(img.picture)
          << ",\"left\":" << img.rect.left << ",\"top\":" << img.rect.top << "}";
        first = false;
    }
    o << "]}";
    return o.str();
}

// Drags a coin of `yen` from the wallet and drops it on the highest-numbered coin slot, or
// somewhere on the stage away from every coin slot.
void dropCoin(Engine &engine, int yen, bool away)
{
    const Machine &m = engine.machine();
    int d = 0;
    while (CoinValues[static_cast<std::size_t>(d)] != yen)
        ++d;
    const int k = engine.visibleCoin(d);
    if (k < 0)
        return;
    const StageRect from = engine.stage().coins[static_cast<std::size_t>(k)].rect;

    const int hitW = CoinSlotHitPixels * m.app.TwipsX;
    const int hitH = CoinSlotHitPixels * m.app.TwipsY;
    int slot = -1;
    for (int i = 0; i < PartSlots; ++i) {
        if (m.partExists(i) && m.part(i).Kind == KindCoinSlot)
            slot = i;
    }
    std::optional<std::pair<int, int>> target;
    if (!away && slot >= 0) {
        target = std::pair{int(m.part(slot).Left), int(m.part(slot).Top)};
    } else {
        // The first place on the stage, scanning from its top-left corner, where the whole coin
        // lies on the stage and its corner is on no coin slot.
        auto onSlot = [&](int x, int y) {
            for (int i = 0; i < PartSlots; ++i) {
                const PartsRecord &p = m.part(i);
                if (m.partExists(i) && p.Kind == KindCoinSlot && p.Left <= x && x < p.Left + hitW
                    && p.Top <= y && y < p.Top + hitH)
                    return true;
            }
            return false;
        };
        const int stepX = hitW;
        const int stepY = hitH;
        for (int y = 0; !target && y + from.height <= Stage::heightTwips(m); y += stepY) {
            for (int x = 0; !target && x + from.width <= Stage::widthTwips(m); x += stepX) {
                if (!onSlot(x, y))
                    target = std::pair{x, y};
            }
        }
        if (!target)
            target = std::pair{from.left, from.top};
    }
    engine.coinDown(k, 0, 0);
    engine.coinMove(k, target->first - from.left, target->second - from.top);
    engine.coinUp(k);
}

void play(Engine &engine, const Command &c)
{
    switch (c.op) {
    case Op::Run:
        engine.startRun();
        break;
    case Op::Stop:
        engine.stopRun();
        break;
    case Op::StepMode:
        engine.stepMode();
        break;
    case Op::Next:
        engine.nextStep();
        break;
    case Op::Touch:
        if (!engine.machine().partExists(c.number))
            break;
        engine.runPartDown(c.number, 0, 0);
        engine.runPartUp(c.number);
        engine.touchPart(c.number);
        break;
    case Op::Coin:
        dropCoin(engine, c.number, c.away);
        break;
    case Op::Money:
        engine.setMoneyInHand(c.text);
        break;
    case Op::Exercise:
        engine.chooseExerciseStep(c.number);
        break;
    case Op::Save: {
        std::error_code ec;
        const auto path = std::filesystem::absolute(c.text, ec);
        engine.saveDocument(ec ? c.text : path.string());
        break;
    }
    case Op::State:
        std::cout << "state\t" << stateJson(engine) << '\n';
        break;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = jhk::answerHelpOrVersion(argc, argv, Program, SimUsage, JHK_VERSION))
        return *answered;
    std::string appDir;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--app-dir") {
            if (i + 1 >= argc) {
                return jhk::usageError(Program, SimUsage, "--app-dir needs a folder");
            }
            appDir = argv[++i];
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            return jhk::usageError(Program, SimUsage, "unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.empty() || positional.size() > 2)
        return jhk::usageError(Program, SimUsage);
    if (appDir.empty())
        appDir = jhk::applicationFolder();

    std::ifstream scriptFile;
    if (positional.size() == 2 && positional[1] != "-") {
        scriptFile.open(positional[1]);
        if (!scriptFile) {
            std::cerr << "jihankobo-sim: cannot read the script " << positional[1] << '\n';
            return 2;
        }
    }
    std::istream &script = scriptFile.is_open() ? static_cast<std::istream &>(scriptFile) : std::cin;
    std::vector<Command> commands;
    int lineNo = 0;
    for (std::string line; std::getline(script, line);) {
        ++lineNo;
        std::string error;
        if (auto c = parseLine(line, error)) {
            commands.push_back(*c);
        } else if (!error.empty()) {
            std::cerr << "jihankobo-sim: line " << lineNo << ": " << error << '\n';
            return 2;
        }
    }

    Machine machine;
    jhk::applyStartupValues(machine.app, 15.0, 15.0);
    machine.app.Level = 3;
    machine.app.Step = 1;
    machine.app.BackPictName = StartBackPictName;
    const Catalogue catalogue(appDir);
    PrintingView view;
    PrintingPlayer player;
    const FilePictureSizes sizes(appDir, positional[0]);
    Engine engine(machine, catalogue, view, player, sizes);
    engine.partsLoad();
    machine.app.MoneyInHand = MainWindowMoney;

    const bool opened = engine.openDocument(positional[0]);
    if (!opened) {
        std::cout.flush();
        return 1;
    }
    for (const Command &c : commands)
        play(engine, c);
    std::cout.flush();
    return 0;
}
