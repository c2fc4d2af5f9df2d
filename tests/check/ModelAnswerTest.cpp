// The model answer: random pupil sessions played on the model and on each machine.
#include "CheckFixtures.h"

#include "check/MachineUnderTest.h"
#include "check/ModelAnswer.h"
#include "check/Scenario.h"

#include <gtest/gtest.h>

#include <set>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

class ModelCheck : public ::testing::Test {
protected:
    fs::path dir;
    std::string model;

    void SetUp() override
    {
        dir = fs::temp_directory_path()
            / ("jhk-model-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        model = writeFixtureClass(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string machine(const char *name) const { return (dir / name).string(); }
};

std::vector<std::string> lines(const std::vector<ModelAction> &actions)
{
    std::vector<std::string> out;
    for (const ModelAction &a : actions)
        out.push_back(a.line);
    return out;
}

} // namespace

TEST_F(ModelCheck, SessionsComeFromTheSeedAndTheModelsRoles)
{
    MachineUnderTest m(JHK_APP_DIR, model);
    ASSERT_TRUE(m.open());
    const auto a = makeModelSequences(m.roles(), 100, 7);
    const auto b = makeModelSequences(m.roles(), 100, 7);
    const auto c = makeModelSequences(m.roles(), 100, 8);
    ASSERT_EQ(a.size(), 100u);
    std::set<std::string> kinds;
    for (std::size_t r = 0; r < a.size(); ++r) {
        EXPECT_EQ(lines(a[r]), lines(b[r]));
        ASSERT_FALSE(a[r].empty());
        // every session starts by setting the money, so every machine starts with one wallet
        EXPECT_EQ(a[r][0].line.rfind("money ", 0), 0u) << a[r][0].line;
        for (const ModelAction &action : a[r])
            kinds.insert(action.line);
    }
    EXPECT_NE(lines(a[0]), lines(c[0]));
    // every kind of action the pupil has, with every coin and every touchable role
    for (const char *line : {"run", "stop", "stepmode", "next", "coin 1000", "coin 500", "coin 100", "coin 50",
                             "coin 10", "touch ボタン1", "touch 釣レバー1", "money abc", "money 10010"})
        EXPECT_TRUE(kinds.count(line)) << line;
}

TEST_F(ModelCheck, MachinesPassOrReportTheirFirstDivergence)
{
    std::string error;
    const auto answer = ModelAnswer::build(JHK_APP_DIR, model, 40, 1, error);
    ASSERT_TRUE(answer) << error;

    std::string diff;
    EXPECT_TRUE(answer->check(JHK_APP_DIR, model, &diff).passed);
    const CheckOutcome upper = answer->check(JHK_APP_DIR, machine("UPPER.JHK"), &diff);
    EXPECT_TRUE(upper.passed) << upper.failure;
    EXPECT_TRUE(diff.empty());

    const CheckOutcome wrong = answer->check(JHK_APP_DIR, machine("wrongprice.jhk"), &diff);
    ASSERT_FALSE(wrong.passed);
    // said in a pupil's words: what was done, and the part by its role and its slot
    EXPECT_EQ(wrong.failure.find("試行"), std::string::npos) << wrong.failure;
    EXPECT_NE(wrong.failure.find("円玉を入れたとき: ボタン1（No.1） のランプ 模範 消灯、実際 購入"), std::string::npos)
        << wrong.failure;

    // The divergence replays as a scenario: it holds on the model and fails on the machine
    // with the same difference.
    const ScenarioParse replay = parseScenarios(diff, "diff.txt", Language::Japanese);
    ASSERT_FALSE(replay.error) << replay.error->describe() << "\n" << diff;
    ASSERT_EQ(replay.scenarios.size(), 1u);
    const CheckOutcome onModel = runScenario(replay.scenarios[0], JHK_APP_DIR, model);
    EXPECT_TRUE(onModel.passed) << onModel.failure << "\n" << diff;
    const CheckOutcome onMachine = runScenario(replay.scenarios[0], JHK_APP_DIR, machine("wrongprice.jhk"));
    EXPECT_FALSE(onMachine.passed);
    EXPECT_NE(onMachine.failure.find("ボタン1（No.1） のランプ 期待 消灯、実際 購入"), std::string::npos) << onMachine.failure;

    const CheckOutcome noLever = answer->check(JHK_APP_DIR, machine("nolever.jhk"), &diff);
    ASSERT_FALSE(noLever.passed);
    EXPECT_EQ(noLever.failure, "釣レバー1 を押したとき: 釣レバー1 がありません");

    const CheckOutcome damaged = answer->check(JHK_APP_DIR, machine("damaged.jhk"), nullptr);
    EXPECT_EQ(damaged.failure.rfind(DamagedFileMessage, 0), 0u) << damaged.failure;
}

TEST_F(ModelCheck, AModelThatCannotBeOpenedIsRefused)
{
    std::string error;
    EXPECT_FALSE(ModelAnswer::build(JHK_APP_DIR, machine("damaged.jhk"), 5, 1, error));
    EXPECT_EQ(error.rfind(DamagedFileMessage, 0), 0u) << error;
    EXPECT_FALSE(ModelAnswer::build(JHK_APP_DIR, machine("none.jhk"), 5, 1, error));
    EXPECT_EQ(error, MissingFileMessage);
}

TEST_F(ModelCheck, WhereEachProductComesOutIsCompared)
{
    Rig r;
    buildMachine(r, true, -1, false, true);
    const std::string astray = saveMachine(r, dir / "astray.jhk");
    std::string error;
    const auto answer = ModelAnswer::build(JHK_APP_DIR, model, 40, 1, error);
    ASSERT_TRUE(answer) << error;
    std::string diff;
    const CheckOutcome o = answer->check(JHK_APP_DIR, astray, &diff);
    ASSERT_FALSE(o.passed);
    EXPECT_EQ(o.failure, "ボタン1（No.1） を押したとき: 商品が 金額表示1（No.3） の上に出ました (模範 商品出口1)");
    // the replay expects the product on the outlet, and so fails on the machine
    EXPECT_NE(diff.find("expect products 1 商品出口1\n"), std::string::npos) << diff;
    const ScenarioParse replay = parseScenarios(diff, "diff.txt", Language::Japanese);
    ASSERT_FALSE(replay.error) << replay.error->describe();
    EXPECT_TRUE(runScenario(replay.scenarios[0], JHK_APP_DIR, model).passed);
    EXPECT_FALSE(runScenario(replay.scenarios[0], JHK_APP_DIR, astray).passed);
}
