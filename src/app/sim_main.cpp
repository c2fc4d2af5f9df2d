// jihankobo-sim: plays a script of pupil actions against a machine document without a window
// and prints what the pupil would see, one event a line.
#include "engine/TraceObserver.h"
#include "app/RunningProgram.h"
#include "model/CommandLine.h"
#include "sim/SimCommand.h"
#include "sim/SimMachine.h"

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace jhk;

constexpr const char *Program = "jihankobo-sim";
constexpr jhk::Usage SimUsage{
    "usage: jihankobo-sim [--app-dir DIR] [--trace] MACHINE.jhk [SCRIPT]\n"
    "       jihankobo-sim --help | --version\n"
    "Opens a machine document and plays a script of pupil actions on it without a window\n"
    "(standard input when no SCRIPT is given), printing what the pupil would see.\n"
    "  --app-dir DIR  the application folder (catalogue, pictures); default: the program's own\n"
    "  --trace        also print each block before it runs and each variable a block changes\n"
    "Exit status: 0 after the whole script, 1 when the machine could not be opened,\n"
    "2 for a wrong command line or script line.\n",
    "使い方: jihankobo-sim [--app-dir フォルダ] [--trace] マシン.jhk [スクリプト]\n"
    "        jihankobo-sim --help | --version\n"
    "マシンのファイルを開き、児童の操作を書いたスクリプト（省略すると標準入力）を画面なしで実行して、\n"
    "児童に見えることを出力します。\n"
    "  --app-dir フォルダ  アプリケーションフォルダ（カタログ、絵）。省略するとプログラムのフォルダ\n"
    "  --trace        実行する前の各ブロックと、ブロックが変えた変数も出力します\n"
    "終了コード: 0 スクリプトを最後まで実行した、1 マシンを開けなかった、2 コマンドラインかスクリプトの行が正しくない\n"};

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

} // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = jhk::answerHelpOrVersion(argc, argv, Program, SimUsage, JHK_VERSION))
        return *answered;
    std::string appDir;
    bool trace = false;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--app-dir") {
            if (i + 1 >= argc) {
                return jhk::usageError(Program, SimUsage, "--app-dir needs a folder");
            }
            appDir = argv[++i];
        } else if (a == "--trace") {
            trace = true;
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
    std::vector<SimCommand> commands;
    int lineNo = 0;
    for (std::string line; std::getline(script, line);) {
        ++lineNo;
        SimParseProblem problem;
        if (auto c = parseSimCommand(line, problem)) {
            commands.push_back(*c);
        } else if (problem.error != SimParseError::None) {
            std::cerr << "jihankobo-sim: line " << lineNo << ": " << simParseErrorText(problem) << '\n';
            return 2;
        }
    }

    PrintingView view;
    PrintingPlayer player;
    SimMachine machine(appDir, positional[0], view, player);
    TraceObserver tracer(std::cout);
    if (trace)
        machine.engine().setObserver(&tracer);
    if (!machine.open()) {
        std::cout.flush();
        return 1;
    }
    for (const SimCommand &c : commands)
        machine.play(c, std::cout);
    std::cout.flush();
    return 0;
}
