// What a run reports to its observer, and a run that waits for its host: a product's sound and
// a slow run's block delay suspend the program until the host's clock resumes it.
#include "EngineRig.h"
#include "engine/RunEndHint.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace jhk;
using namespace jhk::testing;

using Lines = std::vector<std::string>;

namespace {

const char *reasonName(RunEnd r)
{
    switch (r) {
    case RunEnd::Finished: return "finished";
    case RunEnd::Guard: return "guard";
    case RunEnd::UnsetPart: return "unset-part";
    case RunEnd::UnsetOperand: return "unset-operand";
    case RunEnd::Message: return "message";
    case RunEnd::Stopped: return "stopped";
    }
    return "?";
}

// Every event as one short line.
class RecordingObserver : public RunObserver {
public:
    Lines events;
    std::vector<RunEndInfo> ends;

    void runStarted(int part, int first) override { add("start", part, first); }
    void blockAboutToRun(int part, int block) override { add("about", part, block); }
    void blockRan(int part, int block, int next) override { add("ran", part, block, next); }
    void variableChanged(int part, char which, int value) override
    {
        events.push_back("var " + std::to_string(part) + " " + which + " " + std::to_string(value));
    }
    void messageShown(const std::string &text) override { events.push_back("message " + text); }
    void soundPlayed(const std::string &name) override { events.push_back("sound " + name); }
    void nextBlockWaiting(int part, int block) override { add("waiting", part, block); }
    void runEnded(const RunEndInfo &info) override
    {
        ends.push_back(info);
        add(std::string("end ") + reasonName(info.reason), info.part, info.block);
    }

    // Only the events whose line starts with one of `kinds`.
    Lines only(std::initializer_list<const char *> kinds) const
    {
        Lines out;
        for (const std::string &e : events)
            for (const char *k : kinds)
                if (e.rfind(k, 0) == 0)
                    out.push_back(e);
        return out;
    }

private:
    void add(const std::string &what, int a, int b) { events.push_back(what + " " + std::to_string(a) + " " + std::to_string(b)); }
    void add(const std::string &what, int a, int b, int c) { add(what, a, b), events.back() += " " + std::to_string(c); }
};

// The host's clock, driven by hand: `fire` is the moment the time asked for has passed.
class ManualScheduler : public RunScheduler {
public:
    Engine *engine = nullptr;
    std::vector<int> asked; // every wait asked for, milliseconds
    bool pending = false;
    int cancelled = 0;

    void resumeAfter(int ms) override
    {
        asked.push_back(ms);
        pending = true;
    }
    void cancelResume() override
    {
        pending = false;
        ++cancelled;
    }
    bool fire()
    {
        if (!pending)
            return false;
        pending = false;
        engine->resumeRun();
        return true;
    }
    void fireAll()
    {
        while (fire()) {
        }
    }
};

// A player that knows how long the product sound plays, as the window's player does.
class TimedPlayer : public RecordingPlayer {
public:
    int startWaited(const std::string &name) override
    {
        played.push_back(name + " started");
        return name == ProductSound ? 620 : 0;
    }
};

// A rig whose runs wait for a host clock.
struct HostedRig : Rig {
    TimedPlayer timed;
    ManualScheduler clock;
    HostedRig()
    {
        engine.sound().setPlayer(timed);
        clock.engine = &engine;
        engine.setScheduler(&clock);
    }
};

// The coins, the button and the change lever of a purchase.
void purchase(Rig &r, ManualScheduler *clock = nullptr)
{
    r.engine.startRun();
    r.dropCoin(2);
    r.dropCoin(3);
    r.engine.touchPart(Button);
    if (clock)
        clock->fireAll();
    r.engine.touchPart(Lever);
    if (clock)
        clock->fireAll();
}

} // namespace

TEST(RunEvents, APurchaseReportsEveryBlockVariableSoundAndMessage)
{
    Rig r;
    RecordingObserver seen;
    r.engine.setObserver(&seen);
    buildVendingMachine(r);
    r.engine.startRun();
    r.dropCoin(2);
    r.dropCoin(3);
    // The coin falls into the slot when its program has ended.
    EXPECT_EQ(seen.events, (Lines{
        "start 2 0", "about 2 0", "var 3 A 100", "ran 2 0 1", "about 2 1", "ran 2 1 99",
        "sound Money_1.wav", "end finished 2 1",
        "start 2 0", "about 2 0", "var 3 A 150", "ran 2 0 1", "about 2 1", "ran 2 1 2", "about 2 2",
        "var 1 A 1", "ran 2 2 99", "sound Money_1.wav", "end finished 2 2",
    }));

    seen.events.clear();
    r.engine.touchPart(Button);
    r.engine.touchPart(Lever);
    EXPECT_EQ(seen.events, (Lines{
        "start 1 0", "about 1 0", "ran 1 0 1", "about 1 1", "sound kan.wav", "ran 1 1 2",
        "about 1 2", "var 3 A 30", "ran 1 2 3", "about 1 3", "var 0 B 4", "ran 1 3 4",
        "about 1 4", "ran 1 4 5", "about 1 5", "var 1 A 0", "ran 1 5 99", "end finished 1 5",
        "start 5 0", "about 5 0", "message お釣が30円でました", "var 3 A 0", "ran 5 0 1",
        "about 5 1", "ran 5 1 99", "end finished 5 1",
    }));

    // The stop resets lamps and displays: the values that change are reported too.
    seen.events.clear();
    r.m.part(Button).A() = 1;
    r.engine.stopRun();
    EXPECT_EQ(seen.events, (Lines{"var 1 A 0"}));
}

TEST(RunEvents, TheGuardEndsAnEndlessLoopAndSaysSo)
{
    Rig r;
    RecordingObserver seen;
    r.engine.setObserver(&seen);
    const int product = r.add(KindProduct, 10, 10, 120, 5);
    const int outlet = r.add(KindProductOutlet, 100, 400);
    const int button = r.add(KindButton, 10, 100);
    r.program(button, {
        B{0, BlockDischarge, {product, outlet}, 1},
        B{1, BlockBuyLampOff, {button}, 0},
    });
    r.engine.startRun();
    r.engine.touchPart(button);
    EXPECT_EQ(seen.only({"about"}).size(), 1000u);
    EXPECT_EQ(seen.only({"sound"}).size(), 500u);
    ASSERT_EQ(seen.ends.size(), 1u);
    EXPECT_EQ(seen.ends[0].reason, RunEnd::Guard);
    EXPECT_EQ(seen.ends[0].part, button);
    EXPECT_EQ(seen.ends[0].block, 1) << "the last block that ran";
    EXPECT_EQ(seen.ends[0].detail, msg::EndlessLoop);
    EXPECT_EQ(r.view.messages, Lines{msg::EndlessLoop});
    EXPECT_EQ(r.engine.stage().runHint, "") << "the guard has its own message";
}

// The quiet stops end a run without a message: the observer and the state area say which
// part's which block stopped, and why.
TEST(RunEvents, AQuietStopSaysWhereAndWhy)
{
    struct Case {
        B block;
        RunEnd reason;
        std::string hint;
    };
    const std::vector<Case> cases = {
        {B{0, BlockDischarge, {-1, 4}, 99}, RunEnd::UnsetPart,
         "No.1 ボタンの「0商品排出」で止まりました。どの商品を出すのか設定されていません"},
        {B{0, BlockBuyLampOn, {-1}, 99}, RunEnd::UnsetPart,
         "No.1 ボタンの「0購買可ランプ点灯」で止まりました。どのボタンのランプか設定されていません"},
        {B{0, BlockSubtract, {-1, 0}, 99}, RunEnd::UnsetPart,
         "No.1 ボタンの「0カウンター減算」で止まりました。どの金額表示から引くのか設定されていません"},
        {B{0, BlockBranch, {1, "A", -1, -1, 1}, 99, 99}, RunEnd::UnsetOperand,
         "No.1 ボタンの「0条件分岐」で止まりました。比べ方（=、>、<、>=、<=）が設定されていません"},
        {B{0, 5, {}, 99}, RunEnd::UnsetOperand, "No.1 ボタンの「0」で止まりました。このブロックは実行できません"},
    };
    for (const Case &c : cases) {
        Rig r;
        RecordingObserver seen;
        r.engine.setObserver(&seen);
        r.add(KindProduct, 10, 10, 120, 5);
        const int button = r.add(KindButton, 10, 100);
        r.program(button, {B{2, BlockBuyLampOff, {button}, 0}, c.block}, 2);
        r.engine.startRun();
        r.engine.touchPart(button);
        ASSERT_EQ(seen.ends.size(), 1u) << c.hint;
        EXPECT_EQ(seen.ends[0].reason, c.reason) << c.hint;
        EXPECT_EQ(seen.ends[0].part, button);
        EXPECT_EQ(seen.ends[0].block, 0);
        EXPECT_TRUE(r.view.messages.empty()) << c.hint;
        EXPECT_EQ(r.engine.stage().runHint, c.hint);

        // The hint stays until the next program starts.
        r.engine.touchPart(0);
        EXPECT_EQ(r.engine.stage().runHint, c.hint);
        r.program(button, {B{0, BlockBuyLampOff, {button}, 99}});
        r.engine.touchPart(button);
        EXPECT_EQ(r.engine.stage().runHint, "");
    }
}

// A stop note belongs to the run that ended: "停止" keeps it, a change of the machine takes it
// away, and it never names a block that is no longer there.
TEST(RunEvents, AStopNoteGoesWhenTheMachineChanges)
{
    Rig r;
    r.add(KindProduct, 10, 10, 120, 5);
    const int button = r.add(KindButton, 10, 100);
    r.program(button, {B{0, BlockDischarge, {-1, 4}, 99}});
    r.engine.startRun();
    r.engine.touchPart(button);
    ASSERT_FALSE(r.engine.stage().runHint.empty());
    EXPECT_TRUE(r.engine.runEndCurrent());
    r.engine.stopRun();
    EXPECT_FALSE(r.engine.stage().runHint.empty()) << "the pupil reads it while mending the block";
    EXPECT_TRUE(r.engine.runEndCurrent());
    r.engine.forgetRunEnd();
    EXPECT_EQ(r.engine.stage().runHint, "");
    EXPECT_FALSE(r.engine.runEndCurrent());

    // An undo rebuilds the stage: the note goes with it.
    r.engine.startRun();
    r.engine.touchPart(button);
    r.engine.stopRun();
    ASSERT_FALSE(r.engine.stage().runHint.empty());
    r.engine.rebuildStage();
    EXPECT_EQ(r.engine.stage().runHint, "");

    // A block that has gone is not named.
    r.m.part(button).Blocks[0].Used = 0;
    EXPECT_EQ(runEndHint({RunEnd::UnsetPart, button, 0, "どの商品を出すのか設定されていません"}, r.m, r.catalogue),
              "No.1 ボタンで止まりました。どの商品を出すのか設定されていません");
}

TEST(RunEvents, OneBlockModeSaysWhichBlockRunsNext)
{
    Rig r;
    RecordingObserver seen;
    r.engine.setObserver(&seen);
    buildVendingMachine(r);
    r.engine.startRun();
    r.engine.stepMode();
    r.m.part(Button).A() = 1;
    r.m.part(Counter).A() = 500;
    r.engine.touchPart(Button);
    EXPECT_EQ(seen.events, (Lines{"start 1 0", "waiting 1 0"})) << "nothing runs before ▼";
    r.engine.nextStep();
    r.engine.nextStep();
    EXPECT_EQ(seen.events, (Lines{"start 1 0", "waiting 1 0", "about 1 0", "ran 1 0 1", "waiting 1 1", "about 1 1",
                                  "sound kan.wav", "ran 1 1 2", "waiting 1 2"}));
    seen.events.clear();
    for (int i = 0; i < 4; ++i)
        r.engine.nextStep();
    // block 4 leads to the end box: the run ends without a press for it
    EXPECT_EQ(seen.only({"waiting", "end"}), (Lines{"waiting 1 3", "waiting 1 4", "end finished 1 4"}));

    // A step run stopped while it waits for ▼ ends as stopped.
    seen.events.clear();
    r.engine.touchPart(Button);
    r.engine.stopRun();
    EXPECT_EQ(seen.only({"end"}), (Lines{"end stopped 1 -1"}));
}

// With a host clock the product's sound does not block: the program suspends, the product
// appears when the sound has played, and the run goes on from there with the same results.
TEST(RunEvents, ARunWaitsForTheProductSoundThroughTheHost)
{
    Rig plain;
    buildVendingMachine(plain);
    purchase(plain);

    HostedRig r;
    buildVendingMachine(r);
    r.engine.startRun();
    r.dropCoin(2);
    r.dropCoin(3);
    r.engine.touchPart(Button);
    ASSERT_TRUE(r.engine.runSuspended());
    EXPECT_EQ(r.clock.asked, std::vector<int>{620});
    ASSERT_EQ(r.engine.stage().products.size(), 1u);
    EXPECT_FALSE(r.engine.stage().products[0].visible) << "the product appears when its sound has played";
    EXPECT_EQ(r.m.part(Counter).A(), 150) << "the blocks after the discharge wait";
    EXPECT_EQ(r.view.lines.back(), "  条件分岐");

    // Touches and coins wait while the program runs.
    r.engine.touchPart(Lever);
    r.dropCoin(2);
    EXPECT_EQ(r.m.part(Counter).A(), 150);

    r.clock.fireAll();
    EXPECT_FALSE(r.engine.programRunning());
    EXPECT_TRUE(r.engine.stage().products[0].visible);
    r.engine.touchPart(Lever);
    EXPECT_EQ(r.view.lines, plain.view.lines);
    EXPECT_EQ(r.view.messages, plain.view.messages);
    EXPECT_EQ(r.m.parts, plain.m.parts);
    EXPECT_EQ(r.m.app.Wallet, plain.m.app.Wallet);
    EXPECT_EQ(r.m.app.MoneyInHand, plain.m.app.MoneyInHand);
    EXPECT_EQ(r.timed.played, (Lines{"Money_1.wav async", "Money_1.wav async", "kan.wav started"}));
}

// "停止" while the program waits ends it at once and then does all a stop does; a resume that
// comes late changes nothing.
TEST(RunEvents, StopDuringAWaitEndsTheProgramAtOnce)
{
    for (int delay : {0, 500}) {
        HostedRig r;
        RecordingObserver seen;
        r.engine.setObserver(&seen);
        r.engine.setBlockDelayMs(delay);
        buildVendingMachine(r);
        r.engine.startRun();
        r.m.part(Button).A() = 1;
        r.m.part(Counter).A() = 500;
        r.engine.touchPart(Button);
        while (!(r.engine.stage().products.size() == 1 && r.engine.runSuspended()))
            ASSERT_TRUE(r.clock.fire()) << delay;
        r.engine.stopRun();
        EXPECT_EQ(r.m.app.RunMode, ModeEditing);
        EXPECT_FALSE(r.engine.programRunning());
        EXPECT_EQ(r.clock.cancelled, 1);
        EXPECT_FALSE(r.clock.pending);
        EXPECT_TRUE(r.engine.stage().products.empty());
        EXPECT_EQ(r.m.part(Product).B(), 5) << "the blocks after the discharge never run";
        EXPECT_EQ(r.m.part(Counter).A(), 0) << "the stop clears the display";
        EXPECT_EQ(seen.only({"end"}), (Lines{"end stopped 1 1"}));
        r.engine.resumeRun();
        EXPECT_EQ(r.m.part(Product).B(), 5);
    }
}

// A slow run waits its delay after every block; what it does is the same at every speed.
TEST(RunEvents, ASlowRunGivesTheSameResults)
{
    Rig plain;
    buildVendingMachine(plain);
    purchase(plain);

    HostedRig r;
    r.engine.setBlockDelayMs(200);
    buildVendingMachine(r);
    r.engine.startRun();
    r.dropCoin(2);
    EXPECT_TRUE(r.engine.runSuspended()) << "the coin slot's program waits after its first block";
    EXPECT_EQ(r.m.app.Wallet[2], 1) << "the coin is counted when the program has ended";
    r.clock.fireAll();
    EXPECT_EQ(r.m.app.Wallet[2], 0);
    r.dropCoin(3);
    r.clock.fireAll();
    r.engine.touchPart(Button);
    r.clock.fireAll();
    r.engine.touchPart(Lever);
    r.clock.fireAll();
    EXPECT_EQ(r.view.lines, plain.view.lines);
    EXPECT_EQ(r.m.parts, plain.m.parts);
    EXPECT_EQ(r.m.app.Wallet, plain.m.app.Wallet);
    // coin 100: one delay; coin 50: two; button: five and the sound; lever: one (none before
    // the end box)
    EXPECT_EQ(r.clock.asked, (std::vector<int>{200, 200, 200, 200, 620, 200, 200, 200, 200, 200}));
}
