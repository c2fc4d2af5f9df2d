#pragma once

#include "engine/RunObserver.h"
#include "model/Kinds.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace jhk {

struct Machine;
class Catalogue;

// What the run view window shows, worked out from the engine's run events and the machine:
// the part whose flowchart is shown, the block being executed, the path just taken, the block
// "▼" runs next, the table of every used part with its variables, the last messages and
// sounds, and what the last program run ended with. The window only draws this.
//
// During a run the shown part is the one whose program runs; while editing it is the selected
// part. The path of a program stays until the next program starts.
class RunViewModel : public RunObserver {
public:
    // Milliseconds of a steady clock; the tests pass their own.
    using Clock = std::function<std::int64_t()>;

    // How long a value that just changed stays marked.
    static constexpr int FlashMs = 1500;
    // How many log lines are kept.
    static constexpr std::size_t LogLimit = 100;
    // Colours, 0x00BBGGRR: behind a value that just changed, and of the status when a run
    // stopped because something was not set.
    static constexpr std::uint32_t FlashColour = 0x5AE2FF;
    static constexpr std::uint32_t HintColour = 0x0000C8;

    // One link of the path taken: exit `exit` (0 NextBlock, 1 NextBlock2) of block `from`;
    // `from` is StartBox for the link from the start box.
    struct Link {
        static constexpr int StartBox = -1;
        int from = StartBox;
        int exit = 0;
        bool operator==(const Link &) const = default;
    };

    // One variable of a part as the table shows it, e.g. "値段" and "120", or "購買可ランプ"
    // and "点灯".
    struct Cell {
        char which = 'A';
        std::string label;
        std::string value;
        std::int64_t changedAt = 0;
        bool everChanged = false;
    };

    struct Row {
        int slot = 0;
        int kind = 0;
        std::string kindName;
        std::vector<Cell> cells; // only the variables the catalogue gives a meaning
    };

    RunViewModel(const Machine &machine, const Catalogue &catalogue, Clock clock = {});

    // RunObserver
    void runStarted(int part, int firstBlock) override;
    void blockAboutToRun(int part, int block) override;
    void blockRan(int part, int block, int next) override;
    void variableChanged(int part, char which, int value) override;
    void messageShown(const std::string &text) override;
    void soundPlayed(const std::string &name) override;
    void nextBlockWaiting(int part, int block) override;
    void runEnded(const RunEndInfo &info) override;

    // Reads the machine again: the parts of the table and their values, the mode, and while
    // editing the selected part. A machine that starts running begins a new log; values that
    // changed during a run without an event of their own are marked too.
    void sync();
    // Only what "実行" and "停止" change: a run that starts begins a new log and forgets the
    // last path at once, before any event of the new run arrives.
    void followMode();

    // The machine changed since the last program ended: how it ended is no longer shown.
    void forgetRunEnd();

    // Called once whenever the model changes after the last takeChanged(), so the window can
    // redraw once for many events.
    void setChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }
    // Whether anything changed since the last call; clears the mark.
    bool takeChanged();

    int shownPart() const { return m_shownPart; }
    // The block being executed (99 for the end box), or -1.
    int runningBlock() const { return m_running; }
    // The block "▼" runs next in one-block mode, or -1.
    int waitingBlock() const { return m_waiting; }
    // The block at which the last program stopped because something was not set, or -1.
    int stoppedBlock() const { return m_stopped; }
    // The links taken by the last program of the shown part, in the order first taken.
    const std::vector<Link> &path() const { return m_pathPart == m_shownPart ? m_path : m_noPath; }
    bool programRunning() const { return m_phase == Phase::Running || m_phase == Phase::Waiting; }

    // "No.3 ボタン のプログラム", or what to do when no part is shown.
    std::string title() const;
    // What the shown program is doing or how the last one ended, in words a pupil reads.
    std::string status() const;
    // The last program run ended at a block whose part or operand was not set.
    bool quietStop() const { return m_phase == Phase::Ended && isQuietStop(m_end.reason); }
    static bool isQuietStop(RunEnd reason) { return reason == RunEnd::UnsetPart || reason == RunEnd::UnsetOperand; }

    const std::vector<Row> &rows() const { return m_rows; }
    bool flashing(const Cell &cell, std::int64_t now) const;
    // The earliest moment after `now` at which a marked value stops being marked, or -1.
    std::int64_t nextFlashEnd(std::int64_t now) const;
    std::int64_t now() const { return m_clock(); }

    const std::deque<std::string> &log() const { return m_log; }
    // Changes whenever the log does.
    std::uint64_t logSerial() const { return m_logSerial; }

private:
    void changed();
    void show(int part);
    void addLog(std::string line);
    void rebuildRows();
    Cell *cellOf(int part, char which);
    std::string valueText(int kind, char which, int value) const;
    std::string blockText(int part, int block) const;
    std::string kindName(int part) const;
    bool machineRunning() const;
    int selectedPart() const;

    enum class Phase { Idle, Running, Waiting, Ended };

    const Machine &m_m;
    const Catalogue &m_catalogue;
    Clock m_clock;
    std::function<void()> m_onChange;
    bool m_changed = false;

    int m_lastMode = 0;
    int m_shownPart = -1;
    int m_running = -1;
    int m_waiting = -1;
    int m_stopped = -1;
    Phase m_phase = Phase::Idle;
    RunEndInfo m_end;

    int m_pathPart = -1;
    std::vector<Link> m_path;
    const std::vector<Link> m_noPath;
    std::uint64_t m_pathSeen = 0; // one bit per link, so a loop run 1000 times costs nothing more

    std::vector<Row> m_rows;
    std::array<int, PartSlots> m_rowOfSlot{};
    std::array<int, PartSlots> m_kindOfSlot{}; // the kinds the rows were built for, -1 for free slots
    std::deque<std::string> m_log;
    std::uint64_t m_logSerial = 0;
};

} // namespace jhk
