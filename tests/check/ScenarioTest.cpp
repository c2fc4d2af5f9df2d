// Roles, scenario files and what a scenario finds on a machine, in-process.
#include "CheckFixtures.h"

#include "check/Roles.h"
#include "check/Scenario.h"
#include "check/ScenarioRunner.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

class ScenarioCheck : public ::testing::Test {
protected:
    fs::path dir;
    std::string correct;

    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("jhk-scenario-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        correct = writeFixtureClass(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<Scenario> parse(const std::string &text)
    {
        const ScenarioParse p = parseScenarios(text, "test.txt", Language::English);
        EXPECT_FALSE(p.error) << p.error->describe();
        return p.scenarios;
    }
    CheckOutcome run(const std::string &text, const std::string &machine)
    {
        const auto scenarios = parse(text);
        return scenarios.empty() ? CheckOutcome{false, "no scenario"} : runScenario(scenarios[0], JHK_APP_DIR, machine);
    }
};

} // namespace

TEST(Roles, PartsOfAKindAreNumberedInReadingOrder)
{
    Rig r;
    // slot: kind, left, top (pixels)
    const int b0 = r.add(KindButton, 100, 50);
    const int b1 = r.add(KindButton, 40, 300);
    const int b2 = r.add(KindButton, 100, 20);
    const int b3 = r.add(KindButton, 40, 300); // same place as b1: the lower slot comes first
    const int p0 = r.add(KindProduct, 200, 10);
    const RoleMap roles(r.m);
    EXPECT_EQ(roles.slots(KindButton), (std::vector<int>{b1, b3, b2, b0}));
    EXPECT_EQ(roles.slot(Role{KindButton, 3}), b2);
    EXPECT_EQ(roles.slot(Role{KindProduct, 1}), p0);
    EXPECT_EQ(roles.slot(Role{KindProduct, 2}), -1);
    EXPECT_EQ(roles.slot(Role{KindLever, 1}), -1);
}

TEST(Roles, RoleWords)
{
    struct Case {
        const char *word;
        int kind;
        int number; // 0: not a role
    };
    const Case cases[] = {
        {"商品1", KindProduct, 1},       {"商品出口1", KindProductOutlet, 1}, {"ボタン12", KindButton, 12},
        {"釣レバー１", KindLever, 1},    {"金額表示２", KindCounter, 2},     {"投入口3", KindCoinSlot, 3},
        {"釣銭口1", KindChangeOutlet, 1}, {"ボタン0", 0, 0},                  {"ボタン", 0, 0},
        {"ボタン-1", 0, 0},              {"所持金1", 0, 0},                   {"button1", 0, 0},
        {"商品出口", 0, 0},              {"ボタン1a", 0, 0},                  {"ボタン99999", 0, 0},
    };
    for (const Case &c : cases) {
        const auto role = parseRole(c.word);
        if (c.number == 0) {
            EXPECT_FALSE(role) << c.word;
            continue;
        }
        ASSERT_TRUE(role) << c.word;
        EXPECT_EQ(role->kind, c.kind) << c.word;
        EXPECT_EQ(role->number, c.number) << c.word;
    }
    EXPECT_EQ((Role{KindLever, 2}).name(), "釣レバー2");
}

TEST(ScenarioFile, ScenariosNamesCommentsAndSteps)
{
    const ScenarioParse p = parseScenarios("\xEF\xBB\xBF# a comment\r\n"
                                           "money 2670\r\n"
                                           "run\n"
                                           "\n"
                                           "scenario 返金 テスト\n"
                                           "  touch 釣レバー1\n"
                                           "touch 5\n"
                                           "expect message お釣が30円でました\n"
                                           "expect display 金額表示1 空\n"
                                           "expect coins 10 5\n",
                                           "dir/購入.txt", Language::English);
    ASSERT_FALSE(p.error) << p.error->describe();
    ASSERT_EQ(p.scenarios.size(), 2u);
    EXPECT_EQ(p.scenarios[0].name, "購入"); // named after its file
    EXPECT_EQ(p.scenarios[0].steps.size(), 2u);
    EXPECT_EQ(p.scenarios[1].name, "返金 テスト");
    const auto &steps = p.scenarios[1].steps;
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[0].line, 6);
    EXPECT_EQ(steps[0].touched.role, (Role{KindLever, 1}));
    EXPECT_FALSE(steps[1].touched.role);
    EXPECT_EQ(steps[1].command.number, 5);
    EXPECT_EQ(steps[2].expect.text, "お釣が30円でました");
    EXPECT_EQ(steps[3].expect.text, "");
    EXPECT_EQ(steps[4].expect.coin, 4);
}

TEST(ScenarioFile, BadLinesAreReportedWithTheirLine)
{
    const std::string bad[] = {
        "dance",
        "touch",
        "touch ボタン",
        "touch 所持金1",
        "touch 1 2",
        "coin 20",
        "exercise 4",
        "run now",
        "save x.jhk",
        "state",
        "scenario",
        "scenario 購入", // the file's first scenario is named 購入 already
        "expect",
        "expect lamp 商品1 購入",
        "expect lamp ボタン1 点灯",
        "expect lamp ボタン1",
        "expect display 金額表示1 -5",
        "expect display 金額表示1 abc",
        "expect products -1",
        "expect stock ボタン1 3",
        "expect money lots",
        "expect coins 20 1",
        "expect no messages",
        "expect message",
        "expect light ボタン1 購入",
        "\xff\xfe bytes that are not UTF-8",
        // expectations that can never hold: stock and money are 16-bit, a display has 4 digits
        "expect stock 商品1 -32769",
        "expect stock 商品1 32768",
        "expect money 40000",
        "expect coins 10 32768",
        "expect products 32768",
        "expect display 金額表示1 65536",
        "expect display 金額表示1 10000",
        "expect products 1 金額表示1",
        "expect products 1 商品出口1 more",
        // names that are not text
        std::string("scenario a\0b", 12),
        "scenario \xc0\xaf overlong slash",
        "scenario \xed\xa0\x80 surrogate",
        "scenario \xf4\x90\x80\x80 past U+10FFFF",
        "scenario \xe3\x81 cut short",
    };
    for (const std::string &line : bad) {
        const std::string text = std::string("scenario 購入\nrun\n# fine so far\n") + line + "\nstop\n";
        for (Language lang : {Language::Japanese, Language::English}) {
            const ScenarioParse p = parseScenarios(text, "class/a.txt", lang);
            ASSERT_TRUE(p.error) << line;
            EXPECT_TRUE(p.scenarios.empty()) << line;
            EXPECT_EQ(p.error->line, 4) << line;
            EXPECT_EQ(p.error->describe().rfind("class/a.txt:4: ", 0), 0u) << p.error->describe();
        }
    }
    const ScenarioParse empty = parseScenarios("# nothing but a comment\n", "e.txt", Language::English);
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(empty.error->describe(), "e.txt: the file holds no scenario");
    const ScenarioParse missing = readScenarioFile("/no/such/scenario.txt", Language::Japanese);
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->describe(), "/no/such/scenario.txt: シナリオファイルを読めません");
}

TEST_F(ScenarioCheck, APurchaseHoldsOnTheCorrectMachineAndFailsWhereTheOthersDiffer)
{
    const std::string purchase = R"(money 2670
run
coin 100
expect lamp ボタン1 消灯
expect display 金額表示1 100
expect no message
coin 50
expect lamp ボタン1 購入
touch ボタン1
expect products 1
expect stock 商品1 4
expect display 金額表示1 30
expect lamp ボタン1 消灯
touch 釣レバー1
expect message お釣が30円でました
expect no message
expect money 2550
expect coins 10 5
expect coins 100 0
expect display 金額表示1 0
stop
expect products 0
expect display 金額表示1 空
expect coins 100 1
)";
    EXPECT_TRUE(run(purchase, correct).passed) << run(purchase, correct).failure;
    EXPECT_TRUE(run(purchase, (dir / "UPPER.JHK").string()).passed);

    const CheckOutcome wrong = run(purchase, (dir / "wrongprice.jhk").string());
    EXPECT_FALSE(wrong.passed);
    EXPECT_EQ(wrong.failure, "4行目: ボタン1（No.1） のランプ 期待 消灯、実際 購入");

    const CheckOutcome noLever = run(purchase, (dir / "nolever.jhk").string());
    EXPECT_EQ(noLever.failure, "14行目: 釣レバー1 がありません");

    const CheckOutcome damaged = run(purchase, (dir / "damaged.jhk").string());
    EXPECT_FALSE(damaged.passed);
    EXPECT_EQ(damaged.failure, std::string(DamagedFileMessage) + " ファイルが途中で終わっています。");
}

TEST_F(ScenarioCheck, EachExpectationSaysWhatWasExpectedAndSeen)
{
    struct Case {
        const char *expectation;
        const char *failure; // "" holds
    };
    // After: money 2670, run, coin 100, coin 50 (taken from the money in hand), touch ボタン1
    // (one product, 30 left).
    const Case cases[] = {
        {"expect products 2", "6行目: 出た商品の数 期待 2、実際 1"},
        {"expect stock 商品1 5", "6行目: 商品1（No.0） の在庫 期待 5、実際 4"},
        {"expect display 金額表示1 空", "6行目: 金額表示1（No.3） の表示 期待 空、実際 30"},
        {"expect lamp ボタン1 売切", "6行目: ボタン1（No.1） のランプ 期待 売切、実際 消灯"},
        {"expect money 2000", "6行目: 所持金 期待 2000、実際 2520"},
        {"expect coins 50 1", "6行目: 財布の50円 期待 1、実際 0"},
        {"expect message お釣が30円でました", "6行目: メッセージ 期待 「お釣が30円でました」、実際 なし"},
        {"expect lamp ボタン2 購入", "6行目: ボタン2 がありません"},
        {"expect lamp 0 購入", "6行目: 0番のパーツはボタンではありません"},
        {"expect stock 30 1", "6行目: 30番のパーツがありません"},
        {"expect display 3 30", ""},
        {"expect no message", ""},
        {"expect products 1 商品出口1", ""},
        {"expect products 0 商品出口1", "6行目: 商品出口1（No.4） に出た商品の数 期待 0、実際 1"},
        {"expect products 1 商品出口2", "6行目: 商品出口2 がありません"},
        {"expect stock 商品1 32767", "6行目: 商品1（No.0） の在庫 期待 32767、実際 4"},
        {"expect display 金額表示1 9999", "6行目: 金額表示1（No.3） の表示 期待 9999、実際 30"},
    };
    for (const Case &c : cases) {
        const CheckOutcome o = run(std::string("money 2670\nrun\ncoin 100\ncoin 50\ntouch ボタン1\n") + c.expectation + "\n",
                                   correct);
        EXPECT_EQ(o.passed, std::string(c.failure).empty()) << c.expectation;
        EXPECT_EQ(o.failure, c.failure) << c.expectation;
    }
}

TEST_F(ScenarioCheck, MessagesAreCountedSinceThePreviousExpectLines)
{
    // The lever pays twice; each payment shows a message. Expect lines in a row share the
    // messages of the actions before them, and each expect message takes one.
    const std::string start = "money 2670\nrun\ncoin 100\ntouch 釣レバー1\ncoin 10\ntouch 釣レバー1\n";
    EXPECT_TRUE(run(start + "expect message お釣が100円でました\nexpect message お釣が10円でました\nexpect no message\n", correct).passed);
    EXPECT_EQ(run(start + "expect message お釣が100円でました\nexpect no message\n", correct).failure,
              "8行目: メッセージ 期待 なし、実際 「お釣が10円でました」");
    EXPECT_EQ(run(start + "expect message お釣が10円でました\nexpect message お釣が10円でました\n", correct).failure,
              "8行目: メッセージ 期待 「お釣が10円でました」、実際 「お釣が100円でました」");
    // A later group sees only what came after the earlier one.
    EXPECT_TRUE(run(start + "expect money 2670\nstop\nexpect no message\n", correct).passed);
}

TEST_F(ScenarioCheck, AProductMustComeOutOnTheOutlet)
{
    Rig r;
    buildMachine(r, true, -1, false, true);
    const std::string astray = saveMachine(r, dir / "astray.jhk");
    ASSERT_FALSE(astray.empty());
    const std::string purchase = "money 2670\nrun\ncoin 100\ncoin 50\ntouch ボタン1\n";
    // Counting every product cannot tell the machines apart; counting the outlet's can.
    EXPECT_TRUE(run(purchase + "expect products 1\n", astray).passed);
    EXPECT_TRUE(run(purchase + "expect products 1 商品出口1\n", correct).passed);
    EXPECT_EQ(run(purchase + "expect products 1 商品出口1\n", astray).failure,
              "6行目: 商品出口1（No.4） に出た商品の数 期待 1、実際 0 (商品が 金額表示1（No.3） の上に出ました)");
}
