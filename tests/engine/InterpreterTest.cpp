#include "EngineRig.h"

#include <gtest/gtest.h>

using namespace jhk;
using namespace jhk::testing;

namespace {

// A stage with one part of each kind the blocks act on; the program runs on part `self`.
struct Bench : Rig {
    int product, button, counter, outlet, self;
    Bench()
    {
        product = add(KindProduct, 10, 10, 120, 3);
        button = add(KindButton, 10, 100);
        counter = add(KindCounter, 100, 100, 1200);
        outlet = add(KindProductOutlet, 100, 300);
        self = add(KindCoinSlot, 300, 100);
    }
    // Runs one block of kind `kind` with parameters `params` and returns what came next.
    int run(int kind, std::vector<ParamValue> params)
    {
        program(self, {B{0, kind, params, 7, 8}});
        return engine.executeBlock(self, 0);
    }
};

} // namespace

TEST(Interpreter, EachVendingBlockOnTheRightAndTheWrongPart)
{
    struct Case {
        const char *what;
        int kind;
        int target; // which part of the bench P(1) names: 0 product, 1 button, 2 counter
        int next;
        const char *message;
        int a, b;   // A and B of the target afterwards
        const char *picture;
    };
    const Case cases[] = {
        {"buy lamp on", BlockBuyLampOn, 1, 7, nullptr, 1, 0, ButtonBuyPicture},
        {"buy lamp on a product", BlockBuyLampOn, 0, 7, msg::NoLamp, 120, 3, "dummy"},
        {"buy lamp off", BlockBuyLampOff, 1, 7, nullptr, 0, 1, ButtonOffPicture},
        {"sold-out lamp on", BlockSoldOutLampOn, 1, 7, nullptr, 0, 1, ButtonSoldOutPicture},
        {"sold-out lamp on a counter", BlockSoldOutLampOn, 2, 7, msg::NoLamp, 1200, 0, "dummy"},
        {"add money to a button", BlockAddMoney, 1, 7, msg::AddToNonCounter, 1, 1, "dummy"},
        {"subtract from a product", BlockSubtract, 0, 7, msg::SubtractFromNonCounter, 120, 3, "dummy"},
        {"change from a product", BlockPayChange, 0, 7, msg::ChangeFromNonCounter, 120, 3, "dummy"},
        {"reduce stock", BlockReduceStock, 0, 7, nullptr, 120, 2, "dummy"},
        {"reduce the stock of a button", BlockReduceStock, 1, -1, msg::NoStock, 1, 1, "dummy"},
    };
    for (const Case &c : cases) {
        Bench t;
        const int target = c.target == 0 ? t.product : c.target == 1 ? t.button : t.counter;
        t.m.part(t.button).A() = 1;
        t.m.part(t.button).B() = 1;
        const int next = t.run(c.kind, {target});
        SCOPED_TRACE(c.what);
        EXPECT_EQ(next, c.next);
        EXPECT_EQ(t.view.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(t.m.part(target).A(), c.a);
        EXPECT_EQ(t.m.part(target).B(), c.b);
        EXPECT_EQ(t.engine.stage().part(target).picture, c.picture);
        EXPECT_EQ(t.m.app.LastBlockName, vendingBlockName(c.kind));
        if (!c.message && c.target == 1)
            EXPECT_EQ(t.m.part(t.self).LampLink, t.button);
    }
}

TEST(Interpreter, UnsetPartStopsQuietlyAndUnknownKindsEndTheRun)
{
    for (int kind : {20, 21, 22, 23, 24, 25, 26, 27}) {
        Bench t;
        EXPECT_EQ(t.run(kind, {-1, -1, -1, -1, -1}), -1) << kind;
        EXPECT_TRUE(t.view.messages.empty()) << kind;
    }
    for (int kind : {2, 5, 12, 16, 19, 29, 40, -1}) {
        Bench t;
        EXPECT_EQ(t.run(kind, {t.product, t.outlet}), -1) << kind;
        EXPECT_TRUE(t.view.messages.empty()) << kind;
    }
    for (int kind : {13, 14, 15}) {
        Bench t;
        EXPECT_EQ(t.run(kind, {}), 7) << kind;
    }
}

// Part numbers outside the table are parts that do not exist: the message, and the block goes
// on as it does after its other part checks (reducing stock stops, a branch ends the run).
TEST(Interpreter, PartNumbersOutsideTheTableAreMissingParts)
{
    struct Case {
        int kind;
        std::vector<ParamValue> params;
        int next;
    };
    const std::vector<Case> cases = {
        {BlockDischarge, {31, 4}, 7},
        {BlockDischarge, {0, 200}, 7},
        {BlockBuyLampOn, {31}, 7},
        {BlockBuyLampOff, {-7}, 7},
        {BlockAddMoney, {32767}, 7},
        {BlockSubtract, {2, 31}, 7},
        {BlockSubtract, {2, -2}, 7},
        {BlockPayChange, {99}, 7},
        {BlockSoldOutLampOn, {-32768}, 7},
        {BlockReduceStock, {31}, -1},
        {BlockBranch, {40, "A", "=", -1, 1}, -1},
        {BlockBranch, {1, -1, "=", 31, "B"}, -1},
        {BlockMove, {100, 100, 31}, 7},
    };
    for (const Case &c : cases) {
        Bench t;
        ASSERT_EQ(t.counter, 2);
        EXPECT_EQ(t.run(c.kind, c.params), c.next) << c.kind;
        EXPECT_EQ(t.view.messages, std::vector<std::string>{msg::NoSuchPart}) << c.kind;
    }
}

TEST(Interpreter, BranchComparesVariablesAndConstants)
{
    struct Case {
        std::vector<ParamValue> params;
        int next;
    };
    // product: A 120, B 3; counter: A 1200; exits: holds 7, fails 8
    const std::vector<Case> cases = {
        {{0, "A", "=", -1, 120}, 7},
        {{0, "A", "=", -1, 121}, 8},
        {{2, "A", ">", 0, "A"}, 7},
        {{2, "A", "<", 0, "A"}, 8},
        {{0, "B", ">=", -1, 3}, 7},
        {{0, "B", "<=", -1, 2}, 8},
        {{0, "C", "=", -1, 0}, 7},
        {{5, 0, "<", 0, "A"}, 7},        // constant 5 on the left
        {{5, "a", "=", -1, 5}, 7},       // "a" is no property name: 5 itself
        {{0, "B", "=", -1, "3"}, 7},     // a number kept as text compares as a number
        {{0, "A", "=>", -1, 120}, -1},   // unknown operator
        {{0, "A", -1, -1, 120}, -1},     // operator not set
        {{0, "A", "==", -1, 120}, -1},
    };
    for (const Case &c : cases) {
        Bench t;
        EXPECT_EQ(t.run(BlockBranch, c.params), c.next);
        EXPECT_TRUE(t.view.messages.empty());
        EXPECT_EQ(t.m.app.LastBlockName, "条件分岐");
    }
}

TEST(Interpreter, BranchOnTheBuyLamp)
{
    Bench t;
    t.program(t.self, {B{0, BlockBranch, {t.button, "A", "=", -1, 1}, 1, 99}});
    t.m.part(t.button).A() = 1;
    EXPECT_EQ(t.engine.executeBlock(t.self, 0), 1);
    t.m.part(t.button).A() = 0;
    EXPECT_EQ(t.engine.executeBlock(t.self, 0), 99);
}

TEST(Interpreter, CounterArithmeticAndDisplay)
{
    struct Case {
        int amount;
        int price;
        int after;
        const char *shown;
        bool overflow;
    };
    const Case cases[] = {
        {1200, 1500, -300, "-300", false}, // drawn with its minus sign
        {100, 199, -99, "-99", false},
        {1200, 200, 1000, "1000", false},
        {9999, 0, 9999, "9999", false},
        {-500, 500, -1000, "", true},      // five characters with the sign
        {10000, -2345, 12345, "", true},
        {-32000, 1000, -32768, "", true},  // stays at the edge of the 16-bit range
        {32000, -1000, 32767, "", true},
    };
    for (const Case &c : cases) {
        Bench t;
        t.m.part(t.counter).A() = static_cast<std::int16_t>(c.amount);
        t.m.part(t.product).A() = static_cast<std::int16_t>(c.price);
        EXPECT_EQ(t.run(BlockSubtract, {t.counter, t.product}), 7);
        EXPECT_EQ(t.m.part(t.counter).A(), c.after) << c.amount << "-" << c.price;
        EXPECT_EQ(t.engine.stage().part(t.counter).digits, c.shown) << c.amount << "-" << c.price;
        EXPECT_EQ(t.view.messages.size(), c.overflow ? 1u : 0u);
    }
}

TEST(Interpreter, OverflowLeavesTheDisplayAsItWas)
{
    Bench t;
    t.engine.showAmount(t.counter, 300);
    t.engine.showAmount(t.counter, 12345);
    EXPECT_EQ(t.engine.stage().part(t.counter).digits, "300");
    EXPECT_EQ(t.view.messages, std::vector<std::string>{"オーバーフロー!表示できません"});
}

TEST(Interpreter, AddMoneyUsesTheLastCoinAndSaturates)
{
    Bench t;
    EXPECT_EQ(t.run(BlockAddMoney, {t.counter}), 7); // no coin dropped yet: adds nothing
    EXPECT_EQ(t.m.part(t.counter).A(), 1200);
    t.m.app.CoinIndex = 1;
    t.run(BlockAddMoney, {t.counter});
    EXPECT_EQ(t.m.part(t.counter).A(), 1700);
    EXPECT_EQ(t.engine.stage().part(t.counter).digits, "1700");
    t.m.part(t.counter).A() = 32700;
    t.run(BlockAddMoney, {t.counter});
    EXPECT_EQ(t.m.part(t.counter).A(), 32767);
}

TEST(Interpreter, StockStopsAtMinusFiveHundred)
{
    Bench t;
    t.m.part(t.product).B() = 0;
    t.run(BlockReduceStock, {t.product});
    EXPECT_EQ(t.m.part(t.product).B(), -1);
    EXPECT_TRUE(t.view.messages.empty());
    t.m.part(t.product).B() = -500;
    EXPECT_EQ(t.run(BlockReduceStock, {t.product}), 7);
    EXPECT_EQ(t.m.part(t.product).B(), -500);
    EXPECT_EQ(t.view.messages, std::vector<std::string>{"-500以上在庫は減らせません"});
}

TEST(Interpreter, PayChangeFillsTheWalletLargestCoinsFirst)
{
    Bench t;
    t.m.app.Wallet = {0, 0, 0, 0, 0};
    int amount = 789;
    t.engine.payChange(amount);
    EXPECT_EQ(amount, 9);
    EXPECT_EQ(t.m.app.Wallet, (std::array<std::int16_t, 5>{0, 1, 2, 1, 3}));
    const Stage &s = t.engine.stage();
    EXPECT_FALSE(s.coins[1].visible); // one coin shows one picture
    EXPECT_TRUE(s.coins[6].visible);
    EXPECT_TRUE(s.coins[2].visible && s.coins[7].visible);
    EXPECT_EQ(s.coinLabels[2].text, "2枚");
    EXPECT_EQ(s.coins[4].rect.top, (40 * 4 + 300) * 15);

    int negative = -300; // a counter run below zero pays no coins back
    t.engine.payChange(negative);
    EXPECT_EQ(t.m.app.Wallet, (std::array<std::int16_t, 5>{0, 1, 2, 1, 3}));
}

TEST(Interpreter, PayChangeBlock)
{
    Bench t;
    t.m.part(t.counter).A() = 780;
    t.m.app.MoneyInHand = 1000;
    t.m.app.Wallet = {1, 0, 0, 0, 0};
    EXPECT_EQ(t.run(BlockPayChange, {t.counter}), 7);
    EXPECT_EQ(t.view.messages, std::vector<std::string>{"お釣が780円でました"});
    EXPECT_EQ(t.m.app.MoneyInHand, 1780);
    EXPECT_EQ(t.engine.stage().moneyLabel, "所持金：￥1780");
    EXPECT_EQ(t.m.app.Wallet, (std::array<std::int16_t, 5>{1, 1, 2, 1, 3}));
    EXPECT_EQ(t.m.part(t.counter).A(), 0);
    EXPECT_EQ(t.engine.stage().part(t.counter).digits, "0");

    t.m.part(t.counter).A() = 30000;
    t.m.app.MoneyInHand = 30000;
    t.run(BlockPayChange, {t.counter});
    EXPECT_EQ(t.m.app.MoneyInHand, 32767);
}

TEST(Interpreter, DischargeCentresTheProductOnTheOutletAndPlaysFirst)
{
    Bench t;
    EXPECT_EQ(t.run(BlockDischarge, {t.product, t.outlet}), 7);
    ASSERT_EQ(t.engine.stage().products.size(), 1u);
    const ProductImage &img = t.engine.stage().products[0];
    EXPECT_EQ(img.n, 1);
    EXPECT_TRUE(img.visible);
    EXPECT_EQ(img.picture, "dummy");
    // outlet at (100, 300) px, 188 wide; product 34 × 67
    EXPECT_EQ(img.rect.top, 300 * 15);
    EXPECT_EQ(img.rect.left, 100 * 15 + 188 * 15 / 2 - 34 * 15 / 2);
    EXPECT_EQ(t.player.played, std::vector<std::string>{"kan.wav sync"});
    EXPECT_EQ(t.m.app.DischargeCount, 1);
}

TEST(Interpreter, DischargeChecks)
{
    struct Case {
        std::vector<ParamValue> params;
        int next;
        const char *message;
    };
    const std::vector<Case> cases = {
        {{-1, 3}, -1, nullptr},
        {{-5, 3}, -1, nullptr},
        {{1, 3}, 7, msg::NotAProduct},   // the button
        {{0, -1}, 7, msg::NoOutlet},
    };
    for (const Case &c : cases) {
        Bench t;
        EXPECT_EQ(t.run(BlockDischarge, c.params), c.next);
        EXPECT_EQ(t.view.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_TRUE(t.engine.stage().products.empty());
    }
    Bench deleted;
    deleted.m.part(deleted.product).Used = 0;
    EXPECT_EQ(deleted.run(BlockDischarge, {deleted.product, deleted.outlet}), 7);
    EXPECT_EQ(deleted.view.messages, std::vector<std::string>{msg::NoSuchPart});
}

TEST(Interpreter, TheNineHundredNinetyNinthProductIsTheLast)
{
    Bench t;
    t.m.app.DischargeCount = 998;
    t.run(BlockDischarge, {t.product, t.outlet});
    ASSERT_EQ(t.engine.stage().products.size(), 1u);
    EXPECT_EQ(t.engine.stage().products[0].n, 999);
    EXPECT_TRUE(t.view.messages.empty());
    EXPECT_EQ(t.run(BlockDischarge, {t.product, t.outlet}), 7);
    EXPECT_EQ(t.engine.stage().products.size(), 1u);
    EXPECT_EQ(t.view.messages, std::vector<std::string>{"商品は1000個以上排出できません"});
    EXPECT_EQ(t.m.app.DischargeCount, 999);
    EXPECT_EQ(t.player.played.size(), 1u);
}

TEST(Interpreter, MoveBlockMovesThePartOnTheStageOnly)
{
    Bench t;
    t.program(t.self, {B{0, BlockMove, {450, 900, t.product}, 7}});
    EXPECT_EQ(t.engine.executeBlock(t.self, 0), 7);
    EXPECT_EQ(t.engine.stage().part(t.product).rect.left, 450);
    EXPECT_EQ(t.engine.stage().part(t.product).rect.top, 900);
    EXPECT_EQ(t.m.part(t.product).Left, 10 * 15);
    EXPECT_EQ(t.m.app.LastBlockName, "");
}

TEST(Interpreter, EndlessLoopStopsAfterAThousandBlocks)
{
    Bench t;
    t.program(t.self, {B{0, BlockReduceStock, {t.product}, 1}, B{1, 13, {}, 0}});
    t.m.part(t.product).B() = 32000;
    int calls = 0;
    for (int next = 0; next != -1; ++calls)
        next = t.engine.executeBlock(t.self, next);
    EXPECT_EQ(calls, 1001);
    EXPECT_EQ(t.m.part(t.product).B(), 32000 - 500);
    EXPECT_EQ(t.view.messages, std::vector<std::string>{msg::EndlessLoop});
}

TEST(Interpreter, LinksOutsideTheProgramEndIt)
{
    Bench t;
    for (int block : {31, 98, 100, -2, 32767})
        EXPECT_EQ(t.engine.executeBlock(t.self, block), -1) << block;
    EXPECT_EQ(t.engine.executeBlock(31, 0), -1);
    EXPECT_EQ(t.engine.executeBlock(-1, 0), -1);
    EXPECT_TRUE(t.view.messages.empty());
}
