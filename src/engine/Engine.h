#pragma once

#include "engine/RunObserver.h"
#include "engine/RunScheduler.h"
#include "engine/Sound.h"
#include "engine/Stage.h"
#include "engine/StageView.h"
#include "model/AppState.h"

#include <array>
#include <cstdint>
#include <string>

namespace jhk {

struct Machine;
struct BlockRecord;
class Catalogue;
class PictureSizes;

// Messages of the interpreter.
namespace msg {
inline constexpr const char *EndlessLoop =
    "無限ループに入っている可能性があるのでここでブロック実行処理を終了します。";
inline constexpr const char *NoLamp = "指定したパーツにはランプはありません";
inline constexpr const char *AddToNonCounter = "投入金額をカウンタでないパーツに加えてしまいました。";
inline constexpr const char *SubtractFromNonCounter = "金額カウンタでないパーツから減算しようとしてしまいました";
inline constexpr const char *NoPrice = "指定したパーツには値段がありません";
inline constexpr const char *ChangeFromNonCounter = "金額カウンタ以外のパーツからお釣を出そうとしてしまいました";
inline constexpr const char *NoStock = "指定されたパーツの性質には在庫はありません";
inline constexpr const char *StockFloor = "-500以上在庫は減らせません";
inline constexpr const char *NotAProduct = "商品以外のパーツが指定されています";
inline constexpr const char *NoOutlet = "どのパーツの上に商品を出すのか設定されていません";
inline constexpr const char *NoSuchPart = "指定されたパーツは存在しないか､削除されている可能性があります｡";
inline constexpr const char *DischargeLimit = "商品は1000個以上排出できません";
inline constexpr const char *Overflow = "オーバーフロー!表示できません";
// A part of another kind picked for an operand: "このブロックには「ボタン」を選んで下さい".
inline constexpr const char *WrongOperandKindBefore = "このブロックには「";
inline constexpr const char *WrongOperandKindAfter = "」を選んで下さい";
inline constexpr const char *NotANumber = "文字列は受け付けられません。数値を入力して下さい";
inline constexpr const char *TooMuchMoney = "もっと低い金額を入れて下さい";
inline constexpr const char *NegativeMoney = "マイナスの金額は受け付けられません。0以上の金額を入力して下さい";
inline constexpr const char *MoneyPrompt = "所持金の変更： 10000以下の金額を入力して下さい \n(10円以下切り捨て)";
} // namespace msg

// Run-list texts.
inline constexpr const char *RunListIndent = "  ";
inline constexpr const char *TouchRunEnd = "　（実行終了）";
inline constexpr const char *CoinRunEnd = "　(実行終了）";
inline constexpr const char *CoinRunTitle = "投入口";
inline constexpr const char *TouchRunTitleSuffix = "のブロック";

inline constexpr int MaxExecutedBlocks = 1000;
inline constexpr int MaxDischarged = 999;
inline constexpr int StockFloorValue = -500;
inline constexpr int MaxMoneyInHand = 10000;
inline constexpr int CoinSlotHitPixels = 32;
inline constexpr int CoinSlotReachPixels = 8; // a coin's centre this close to the slot's picture counts

// Where a dropped coin must be to go into the coin slot: its top-left corner in the 32 × 32
// square at the slot's corner, or (the desktop's drag) its centre over the slot's picture.
enum class CoinAim { Corner, Centre };

// What a click on a part did while a part is picked for a block operand.
struct PickOutcome {
    bool picked = false;
    bool refused = false;      // a part of another kind than the operand takes: still picking
    int row = -1;              // the editor's operand row (txtUserSet) that shows the pick
    std::string rowText;       // e.g. "3:商品"
    bool showVariableMenu = false;
    std::array<std::string, 3> menuCaptions; // captions of the variable menu entries A, B, C
};

// What choosing an entry of the variable menu did.
struct VariableChoice {
    bool chosen = false;
    int row = -1;
    std::string rowText;
};

// The vending machine at work: the block interpreter, running and stopping, the one-block
// mode, coins, wallet and money in hand, picking parts for block operands, and the stage
// model the windows draw. The desktop program, the simulator and the tests all drive this one
// class; it reaches the screen only through StageView and the speakers through SoundPlayer.
//
// Every mouse position is twips, relative to the control the event belongs to.
class Engine {
public:
    Engine(Machine &machine, const Catalogue &catalogue, StageView &view, SoundPlayer &player,
           const PictureSizes &sizes);

    Machine &machine() { return m_m; }
    const Machine &machine() const { return m_m; }
    Stage &stage() { return m_stage; }
    const Stage &stage() const { return m_stage; }
    Sound &sound() { return m_sound; }
    const Catalogue &catalogue() const { return m_catalogue; }
    const PictureSizes &pictureSizes() const { return m_sizes; }

    // What a run reports to the run view or the simulator's trace; nullptr for nobody.
    void setObserver(RunObserver *observer) { m_observer = observer; }
    RunObserver *observer() const { return m_observer; }
    // How long each block of a normal run stays before the next one runs, in milliseconds;
    // 0 runs at full speed ("ふつう"). The wait needs a scheduler; the results of a run never
    // depend on it.
    void setBlockDelayMs(int ms) { m_blockDelayMs = ms < 0 ? 0 : ms; }
    int blockDelayMs() const { return m_blockDelayMs; }
    // The host's clock. With one, a program waits for its product sounds and for the block
    // delay without blocking: it suspends, and the host calls resumeRun() when the time is up.
    // Without one (the simulator, the tests) every program runs to its end within the call
    // that started it.
    void setScheduler(RunScheduler *scheduler) { m_scheduler = scheduler; }
    RunScheduler *scheduler() const { return m_scheduler; }
    // The time the run asked the scheduler for has passed: the suspended program goes on.
    void resumeRun();

    // --- The interpreter ---------------------------------------------------------------
    // Executes block `block` (0..30, or 99 for the end box) of part `part`; returns the next
    // block, or -1 when this program's run is over.
    int executeBlock(int part, int block);
    // Draws `value` on the amount display `part` (or shows the overflow message).
    void showAmount(int part, int value);
    // Pays `amount` yen of change into the wallet, largest coins first; leaves in `amount`
    // what could not be paid in coins.
    void payChange(int &amount);
    // The value of the coin last dropped into a coin slot, 0 when none was dropped.
    int lastCoinValue() const;

    // --- Run control -------------------------------------------------------------------
    void startRun();        // "実行"
    void stepMode();        // "１ブロックづつ実行"
    void nextStep();        // "▼"
    void stopRun();         // "停止"
    void touchPart(int i);  // a click on part i
    // The machine was changed (an edit, an undo) since the last program ended: the notes of
    // how it ended go, the main window's hint and the run view's stop mark, so that none
    // names a block that has changed or gone.
    void forgetRunEnd();
    // How the last program ended is still worth showing: no edit and no new run since.
    bool runEndCurrent() const { return m_runEndCurrent; }
    // A touched part's or a dropped coin's program has started and not yet finished: it waits
    // for a sound, for the block delay or, in the one-block mode, for "▼". Touches and coins
    // wait until it has finished.
    bool programRunning() const { return m_run.active; }
    // The running program waits for the scheduler (a sound or the block delay).
    bool runSuspended() const { return m_run.active && (m_run.wait == RunWait::Sound || m_run.wait == RunWait::Delay); }
    // A step run of the one-block mode has started and not yet finished.
    bool stepRunInProgress() const { return m_run.active && m_run.oneBlock; }
    // The step run waits for "▼" before its next block.
    bool stepRunWaiting() const { return stepRunInProgress() && m_run.wait == RunWait::Step; }
    // One tick of the blinking timer of the state label.
    void tickBlink();

    // Mouse on a part while the machine runs (RunMode 1): a change lever shows its pulled
    // picture while held; a part whose RunDrag is -1 follows the mouse.
    void runPartDown(int i, int x, int y);
    void runPartMove(int i, int x, int y);
    void runPartUp(int i);
    // Mouse on discharged product n (1..999) while the machine runs.
    void productDown(int n, int x, int y);
    void productMove(int n, int x, int y);
    void productUp(int n);

    // --- Money -------------------------------------------------------------------------
    // The "所持金" input box was answered with `answer` ("" for Cancel). Only while editing.
    // Returns false when the amount was refused (its message shown).
    bool setMoneyInHand(const std::string &answer);
    // Left-button events on coin picture k (0..9).
    void coinDown(int k, int x, int y);
    void coinMove(int k, int x, int y);
    void coinUp(int k, CoinAim aim = CoinAim::Corner);
    // A visible coin picture of denomination d during a run, or -1.
    int visibleCoin(int d) const;
    // "財布": paints the wallet picture onto the stage.
    void drawWallet();

    // --- Picking parts and variables for a block's operands -----------------------------
    PickOutcome pickPart(int i);
    VariableChoice chooseVariable(const std::string &letter, const std::string &caption);
    // The captions of the variable menu for part i: its catalogue labels of A, B and C.
    std::array<std::string, 3> variableMenu(int i) const;

    // --- The stage and documents -------------------------------------------------------
    // Empties every slot and hides every control (the main window's load).
    void partsLoad();
    // Makes the stage show the tables after a document has been read.
    void rebuildStage();
    // Makes part control i show its record: position, picture (the record's picture name,
    // "dummy" when it has none) and the picture's size; shown when the slot is used. For a
    // part just created or given a new picture.
    void showPart(int i);
    // Copies the stage controls' geometry back into the tables (before a save, at a run).
    void checkAll();
    // The open command: reads the document first; only an accepted document replaces the
    // machine and rebuilds the stage. A refused one shows the reader's message and leaves
    // everything as it was. Returns whether the document was read.
    bool openDocument(const std::string &path);
    // The save command: copies the stage into the tables and writes the document; a failure
    // shows the writer's message. Returns whether the document was written.
    bool saveDocument(const std::string &path);
    // The step menu entry "ステップN" (level 1, editing only).
    void chooseExerciseStep(int step);

    // Shows a message through the view; while the machine runs the pupil may answer it with
    // "停止". Returns false when the machine was stopped while the message was up: the block
    // that showed it then does nothing more.
    bool message(const std::string &text);

private:
    enum class RunWait { None, Step, Sound, Delay };

    // The program of a touched part or a dropped coin, from its first block to its end. It
    // runs block after block until it must wait: for "▼" in the one-block mode, or for the
    // scheduler while a product's sound plays or a slow run's block stays in view.
    struct ProgramRun {
        bool active = false;
        bool oneBlock = false;  // one block per "▼"
        bool fromCoin = false;
        bool started = false;   // the program has blocks: its start and end are reported
        int part = -1;
        int next = -1;          // the block that runs next
        int block = -1;         // the last block that ran, -1 before the first
        int coin = -1;          // the coin picture dropped, for a coin slot's run
        RunWait wait = RunWait::None;
        int waitedBlock = -1;   // the block whose sound is playing
        int reveal = 0;         // the discharged product that appears when its sound has played
    };

    // Why the block just run ended its program, when it was not the end of the program.
    struct StopCause {
        bool set = false;
        RunEnd reason = RunEnd::Finished;
        std::string detail;
    };

    void addRunListLine(const std::string &line, bool select = true);
    void clearRunList();
    void changed(StageChange what, int index = -1);
    void setBlockState(const char *text);
    void setPartPicture(int i, const std::string &picture);

    void beginProgram(int part, int first, bool fromCoin, int coin);
    void driveRun();
    void runBlock(int block);
    void afterBlock(int block, bool ran);
    void finishProgram();
    void waitFor(RunWait wait, int ms);
    void showProduct(int n);
    int stop(RunEnd reason, const char *detail);
    int stopWithMessage(const std::string &text);
    int stopAtGuard();
    void setVariable(int part, int which, std::int16_t value);
    void playSound(const char *name, PlayMode mode);
    void finishCoinDrop(int k);
    void layOutWallet();
    // A run keeps the money in hand and its label as they were and puts them back at its end.
    void keepMoneyInHand();
    void restoreMoneyInHand();
    bool coinHitsSlot(const StageRect &coin, int slot, CoinAim aim) const;
    void updateWalletDisplay(int d);
    int findCoinSlot() const;
    int runStart(int part) const;

    int executeEffect(int part, const BlockRecord &b);
    int executeReduceStock(const BlockRecord &b);
    int executeDischarge(const BlockRecord &b);
    int executeBranch(const BlockRecord &b);
    bool checkPartNumber(int q);

    Machine &m_m;
    const Catalogue &m_catalogue;
    StageView &m_view;
    const PictureSizes &m_sizes;
    Stage m_stage;
    Sound m_sound;
    ProgramRun m_run;
    StopCause m_stopCause;
    RunObserver *m_observer = nullptr;
    RunScheduler *m_scheduler = nullptr;
    int m_blockDelayMs = 0;
    bool m_soundsWait = false; // the block being run may leave its product sound to the scheduler
    int m_soundWaitMs = 0;     // the wait its sound asked for
    bool m_blockRuns = false;  // the interpreter got past its checks and ran the block
    int m_draggedProduct = -1; // index into the stage's products while one is held
    StageRect m_coinOrigin;    // where the held coin picture was before the drag
    int m_coinGrabX = 0;
    int m_coinGrabY = 0;
    std::string m_moneyLabelSaved; // the money-in-hand label before the run
    bool m_runEndCurrent = false;
    unsigned m_stops = 0;          // how often the machine was stopped, to see a stop during a message
};

// Sets variable `which` (1 = A, 2 = B, 3 = C) of part `part` and reports a change.
inline void Engine::setVariable(int part, int which, std::int16_t value)
{
    std::int16_t &v = m_m.part(part).Hensuu[static_cast<std::size_t>(which)];
    if (v == value)
        return;
    v = value;
    if (m_observer)
        m_observer->variableChanged(part, static_cast<char>('A' + which - 1), value);
}

} // namespace jhk
