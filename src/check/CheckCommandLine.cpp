#include "check/CheckCommandLine.h"

#include <algorithm>
#include <filesystem>

namespace jhk {

namespace {

constexpr OptionDoc CheckOptionTable[] = {
    {"--app-dir", "DIR", nullptr, "the application folder (part catalogue, pictures); default: beside the program",
     "アプリケーションフォルダ (パーツの一覧と絵)。既定はプログラムのそば"},
    {"--jobs", "N", nullptr, "machines checked at once (default: the number of cores)",
     "同時に検査する台数 (既定: CPU のコア数)"},
    {"--csv", "FILE", nullptr,
     "write the table as CSV (a row per machine, pass or the failure per scenario, the overall result last)",
     "表を CSV で書き出す (一台一行、シナリオごとに合格か不合格の理由、最後の列「結果」に合格か不合格)"},
    {"--html", "FILE", nullptr,
     "write one page with the table, the failures and a picture of each machine (prints on A4)",
     "表と不合格の理由と各マシンの絵を一枚のページに書き出す (A4 で印刷できます)"},
    {"--quiet", "", nullptr, "show no progress bar", "進み具合の表示を出さない"},
    {"--model", "MODEL.jhk", nullptr, "compare with a model answer over random pupil sessions",
     "模範解答とランダムな操作で比べる"},
    {"--runs", "N", nullptr, "number of sessions compared with the model (default: 100)",
     "模範解答と比べる操作の回数 (既定: 100)"},
    {"--seed", "S", nullptr, "seed of the sessions (default: 1; the same seed gives the same sessions)",
     "操作を作る種 (既定: 1。同じ種なら同じ操作)"},
    {"--save-diffs", "DIR", nullptr, "write each divergence from the model as a scenario file into DIR",
     "模範解答との違いを、再現するシナリオファイルとして DIR に書き出す"},
    {"--help", "", nullptr, "show this text", "この説明を表示する"},
    {"--version", "", nullptr, "show the version", "バージョンを表示する"},
};

} // namespace

std::span<const OptionDoc> checkOptions()
{
    return CheckOptionTable;
}

std::string checkUsage(Language language)
{
    const std::string synopsis =
        "jihankobo-check [--app-dir DIR] [--jobs N] [--csv FILE] [--html FILE] [--quiet]\n"
        "                (SCENARIO.txt... | --model MODEL.jhk [--runs N] [--seed S] [--save-diffs DIR])\n"
        "                MACHINE.jhk|FOLDER...\n";
    const bool japanese = language == Language::Japanese;
    if (japanese)
        return "使い方: " + synopsis
            + "\n"
              "生徒の自動販売機 (.jhk) を、シナリオまたは模範解答と比べて検査します。\n"
              "フォルダを渡すと、その中の .jhk ファイルを名前の順にすべて検査します。\n"
              "\n"
            + optionHelp(CheckOptionTable, japanese)
            + "\n"
              "終了コード: 0 すべて合格、1 不合格か開けないマシンがある、2 コマンドラインかシナリオの誤り\n";
    return "usage: " + synopsis
        + "\n"
          "Checks pupils' vending machines (.jhk) against scenarios or against a model answer.\n"
          "A folder stands for all its .jhk files, in the order of their names.\n"
          "\n"
        + optionHelp(CheckOptionTable, japanese)
        + "\n"
          "Exit status: 0 all passed, 1 a machine failed or could not be opened, 2 a bad command line or scenario.\n";
}

namespace {

bool isMachinePath(const std::string &path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return true;
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".jhk";
}

bool wholeNumber(const std::string &s, std::uint64_t &out, std::uint64_t largest)
{
    if (s.empty() || s.size() > 20 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    try {
        out = std::stoull(s);
    } catch (const std::exception &) {
        return false;
    }
    return out <= largest;
}

} // namespace

CheckCommandLine parseCheckCommandLine(const std::vector<std::string> &args, Language lang)
{
    CheckCommandLine cl;
    CheckOptions &o = cl.options;
    auto wrong = [&](const std::string &why) {
        cl.action = CheckCommandLine::Action::Wrong;
        cl.error = why;
        return cl;
    };
    std::vector<std::string> positional;
    bool runsGiven = false, seedGiven = false, optionsEnd = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        if (optionsEnd || a.size() < 2 || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnd = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            cl.action = CheckCommandLine::Action::Help;
            return cl;
        }
        if (a == "--version") {
            cl.action = CheckCommandLine::Action::Version;
            return cl;
        }
        if (a == "--quiet" || a == "-q") {
            o.quiet = true;
            continue;
        }
        // --name VALUE or --name=VALUE
        std::string value;
        bool hasValue = false;
        if (const auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            value = a.substr(eq + 1);
            a.erase(eq);
            hasValue = true;
        }
        static constexpr const char *valued[] = {"--app-dir", "--jobs", "--csv", "--html", "--model", "--runs", "--seed", "--save-diffs"};
        if (std::find(std::begin(valued), std::end(valued), a) == std::end(valued))
            return wrong(std::string(pick(lang, "知らないオプションです: ", "unknown option: ")) + args[i]);
        if (!hasValue) {
            if (i + 1 >= args.size())
                return wrong(a + pick(lang, " の後に値がありません", " needs a value"));
            value = args[++i];
        }
        if (value.empty())
            return wrong(a + pick(lang, " の値が空です", " needs a value"));
        std::uint64_t n = 0;
        if (a == "--app-dir") {
            o.appDir = value;
        } else if (a == "--jobs" || a == "--runs") {
            if (!wholeNumber(value, n, 100000) || n == 0)
                return wrong(a + pick(lang, " には 1 以上の整数を書きます", " needs a whole number of 1 or more"));
            (a == "--jobs" ? o.jobs : o.runs) = static_cast<int>(n);
            runsGiven = runsGiven || a == "--runs";
        } else if (a == "--seed") {
            if (!wholeNumber(value, n, UINT64_MAX))
                return wrong(pick(lang, "--seed には 0 以上の整数を書きます", "--seed needs a whole number of 0 or more"));
            o.seed = n;
            seedGiven = true;
        } else if (a == "--csv") {
            o.csvFile = value;
        } else if (a == "--html") {
            o.htmlFile = value;
        } else if (a == "--model") {
            o.modelFile = value;
        } else {
            o.saveDiffsDir = value;
        }
    }

    for (const std::string &p : positional) {
        // A mistyped name is neither a scenario nor a machine: say so before anything else.
        std::error_code ec;
        if (!std::filesystem::exists(p, ec)) {
            cl.showUsage = false;
            return wrong(std::string(pick(lang, "「", "\"")) + p
                         + pick(lang, "」というファイルもフォルダーもありません", "\": no such file or folder"));
        }
        (isMachinePath(p) ? o.machines : o.scenarioFiles).push_back(p);
    }
    const bool model = !o.modelFile.empty();
    if (model && !o.scenarioFiles.empty())
        return wrong(pick(lang, "--model とシナリオファイルは一緒に使えません: ", "--model cannot be used with scenario files: ")
                     + o.scenarioFiles.front());
    if (!model && (runsGiven || seedGiven || !o.saveDiffsDir.empty()))
        return wrong(pick(lang, "--runs、--seed、--save-diffs は --model と一緒に使います",
                          "--runs, --seed and --save-diffs go with --model"));
    if (!model && o.scenarioFiles.empty())
        return wrong(pick(lang, "シナリオファイルか --model MODEL.jhk を渡してください", "give scenario files or --model MODEL.jhk"));
    if (o.machines.empty())
        return wrong(pick(lang, "検査するマシン (.jhk ファイルかフォルダ) を渡してください",
                          "give the machines to check (.jhk files or folders)"));
    cl.action = CheckCommandLine::Action::Check;
    return cl;
}

} // namespace jhk
