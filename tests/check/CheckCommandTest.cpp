// End-to-end runs of jihankobo-check on a small class of machine documents.
#include "CheckFixtures.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

struct Result {
    int exitCode = -1;
    Lines out;
    std::string err;
};

constexpr const char *Purchase = R"(# The class's two checks
scenario 購入
money 2670
run
coin 100
expect lamp ボタン1 消灯
coin 50
expect lamp ボタン1 購入
touch ボタン1
expect products 1
expect display 金額表示1 30

scenario 返金
run
coin 100
touch 釣レバー1
expect message お釣が100円でました
)";

class CheckCommand : public ::testing::Test {
protected:
    fs::path dir;
    fs::path klass;
    std::string model;

    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("jhk-check-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        klass = dir / "class";
        model = writeFixtureClass(klass);
        std::ofstream(dir / "purchase.txt") << Purchase;
    }
    void TearDown() override { fs::remove_all(dir); }

    static std::string quote(const std::string &s) { return "'" + s + "'"; }
    static std::string read(const fs::path &p)
    {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs the checker in the test folder with `args` under the system language `lang`.
    Result run(const std::string &args, const std::string &lang = "C")
    {
        const std::string cmd = "cd " + quote(dir.string()) + " && LC_ALL= LC_MESSAGES= LANG=" + lang + " "
            + quote(JHK_CHECK) + " " + args + " > out.txt 2> err.txt";
        const int status = std::system(cmd.c_str());
        Result r;
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::istringstream out(read(dir / "out.txt"));
        for (std::string line; std::getline(out, line);)
            r.out.push_back(line);
        r.err = read(dir / "err.txt");
        return r;
    }
    Result check(const std::string &args) { return run("--app-dir " + quote(JHK_APP_DIR) + " " + args); }
};

bool has(const std::string &text, const std::string &piece)
{
    return text.find(piece) != std::string::npos;
}

} // namespace

TEST_F(CheckCommand, ScenariosOverAFolderWithTableCsvAndPage)
{
    const Result r = check("--jobs 2 --csv table.csv --html page.html purchase.txt class");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, (Lines{
                         "○○  UPPER.JHK",
                         "○○  correct.jhk",
                         "××  damaged.jhk  開けません: ファイルが壊れているため開けません！ ファイルが途中で終わっています。",
                         "○×  nolever.jhk  返金: 16行目: 釣レバー1 がありません",
                         "×○  wrongprice.jhk  購入: 6行目: ボタン1 のランプ 期待 消灯、実際 購入",
                     }));
    EXPECT_FALSE(has(r.err, "\r")) << "no progress bar when standard error is not a terminal";

    EXPECT_EQ(read(dir / "table.csv"), "\xEF\xBB\xBF"
                                       "ファイル,購入,返金\r\n"
                                       "UPPER.JHK,pass,pass\r\n"
                                       "correct.jhk,pass,pass\r\n"
                                       "damaged.jhk,ファイルが壊れているため開けません！ ファイルが途中で終わっています。,"
                                       "ファイルが壊れているため開けません！ ファイルが途中で終わっています。\r\n"
                                       "nolever.jhk,pass,16行目: 釣レバー1 がありません\r\n"
                                       "wrongprice.jhk,6行目: ボタン1 のランプ 期待 消灯、実際 購入,pass\r\n");

    const std::string page = read(dir / "page.html");
    EXPECT_TRUE(has(page, "@page { size: A4"));
    EXPECT_TRUE(has(page, "<th>ファイル</th><th>購入</th><th>返金</th><th>結果</th>"));
    EXPECT_TRUE(has(page, "5 台: 合格 2、不合格 3"));
    EXPECT_TRUE(has(page, "16行目: 釣レバー1 がありません"));
    EXPECT_TRUE(has(page, "6行目: ボタン1 のランプ 期待 消灯、実際 購入"));
    EXPECT_TRUE(has(page, "ファイルが壊れているため開けません！"));
    // a picture of every machine that opens, embedded (or, in a build without the windows,
    // which cannot draw them, a word that there is none); nothing the page would fetch
    const auto count = [&page](const std::string &piece) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = page.find(piece, at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
#ifdef JHK_CHECK_PICTURES
    EXPECT_EQ(count("src=\"data:image/png;base64,iVBORw0KGgo"), 4u);
    EXPECT_EQ(count("(絵はありません)"), 0u);
#else
    EXPECT_EQ(count("<img"), 0u);
    EXPECT_EQ(count("(絵はありません)"), 4u);
#endif
    EXPECT_FALSE(has(page, "http:") || has(page, "https:") || has(page, "src=\"file") || has(page, "<link"));
}

TEST_F(CheckCommand, ModelAnswerWithDivergenceScenarios)
{
    const Result r = check("--model class/correct.jhk --runs 25 --seed 3 --save-diffs diffs --jobs 3 --csv model.csv class");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    ASSERT_EQ(r.out.size(), 4u); // the model in the class's folder is not checked against itself
    EXPECT_EQ(r.out[0], "○  UPPER.JHK");
    EXPECT_EQ(r.out[1], "×  damaged.jhk  開けません: ファイルが壊れているため開けません！ ファイルが途中で終わっています。");
    EXPECT_TRUE(has(r.out[2], "×  nolever.jhk  試行")) << r.out[2];
    EXPECT_TRUE(has(r.out[2], "(touch 釣レバー1): 釣レバー1 がありません")) << r.out[2];
    EXPECT_TRUE(has(r.out[3], "×  wrongprice.jhk  試行")) << r.out[3];
    EXPECT_TRUE(has(r.out[3], "ボタン1 のランプ 模範 消灯、実際 購入")) << r.out[3];
    EXPECT_TRUE(has(read(dir / "model.csv"), "ファイル,模範解答\r\nUPPER.JHK,pass\r\n"));

    // the same seed with one job finds the same
    const Result serial = check("--model class/correct.jhk --runs 25 --seed 3 --jobs 1 class");
    EXPECT_EQ(serial.out, r.out);

    // each divergence is a scenario that holds on the model and fails on the machine
    EXPECT_EQ(fs::exists(dir / "diffs" / "UPPER.txt"), false);
    for (const char *name : {"nolever", "wrongprice"}) {
        const std::string diff = "diffs/" + std::string(name) + ".txt";
        ASSERT_TRUE(fs::exists(dir / diff)) << diff;
        const Result onModel = check(diff + " class/correct.jhk");
        EXPECT_EQ(onModel.exitCode, 0) << onModel.err << read(dir / diff);
        const Result onMachine = check(diff + " class/" + name + ".jhk");
        EXPECT_EQ(onMachine.exitCode, 1) << read(dir / diff);
    }
}

TEST_F(CheckCommand, ExitStatusAndCommandLine)
{
    EXPECT_EQ(check("purchase.txt class/correct.jhk class/UPPER.JHK").exitCode, 0);

    // a bad scenario line: its file and line, nothing runs
    std::ofstream(dir / "bad.txt") << "run\ncoin 100\n\ntouch ボタンA\n";
    const Result bad = check("--csv never.csv purchase.txt bad.txt class");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_TRUE(has(bad.err, "bad.txt:4: ")) << bad.err;
    EXPECT_FALSE(fs::exists(dir / "never.csv"));

    struct Case {
        const char *args;
        const char *err; // a piece of standard error
    };
    const Case wrong[] = {
        {"", "give scenario files or --model"},
        {"--speed 3 purchase.txt class", "unknown option: --speed"},
        {"purchase.txt", "give the machines to check"},
        {"--jobs 0 purchase.txt class", "--jobs needs a whole number"},
        {"--runs 5 purchase.txt class", "--runs, --seed and --save-diffs go with --model"},
        {"--model class/correct.jhk purchase.txt class", "--model cannot be used with scenario files"},
        {"--model class/damaged.jhk class", "class/damaged.jhk: ファイルが壊れているため開けません！"},
        {"missing.txt class", "missing.txt: cannot read the scenario file"},
        {"purchase.txt empty-folder", "no machine to check"},
        {"--csv", "--csv needs a value"},
    };
    fs::create_directories(dir / "empty-folder");
    for (const Case &c : wrong) {
        const Result r = check(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_TRUE(has(r.err, c.err)) << c.args << ": " << r.err;
    }
    // the usage follows a wrong option
    EXPECT_TRUE(has(check("--speed 3 purchase.txt class").err, "usage: jihankobo-check"));
    // a report that cannot be written
    EXPECT_EQ(check("--csv no/such/folder/t.csv purchase.txt class/correct.jhk").exitCode, 2);
}

TEST_F(CheckCommand, HelpAndVersionInTheSystemsLanguage)
{
    const Result english = run("--help");
    EXPECT_EQ(english.exitCode, 0);
    ASSERT_FALSE(english.out.empty());
    EXPECT_EQ(english.out[0].rfind("usage: jihankobo-check [--app-dir DIR]", 0), 0u);
    EXPECT_TRUE(english.err.empty());

    const Result japanese = run("--help", "ja_JP.UTF-8");
    EXPECT_EQ(japanese.exitCode, 0);
    ASSERT_FALSE(japanese.out.empty());
    EXPECT_EQ(japanese.out[0].rfind("使い方: jihankobo-check", 0), 0u);
    EXPECT_TRUE(has(run("--bogus", "ja_JP.UTF-8").err, "知らないオプションです: --bogus"));

    const Result version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, Lines{"jihankobo-check " JHK_VERSION});
}
