#pragma once

#include "document/UndoHistory.h"
#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "rules/RunViewModel.h"
#include "rules/SavedState.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace jhk {

// What the page does for the machine: shows messages and asks questions (answered later with
// PageMachine::answer), plays sounds, redraws what changed, and keeps one timer for the run.
class PageHost {
public:
    virtual ~PageHost() = default;
    // A message box. `buttons`: "ok", "okcancel", "yesno", "yesnocancel", "okstop" (OK and
    // "停止", while the machine runs) or "input" (a text box with OK and Cancel); `icon`: "", "information", "exclamation", "question", "critical".
    virtual void message(int id, const std::string &text, const std::string &buttons, const std::string &icon) = 0;
    // `mode`: "sync" (a sound the run waits for), "async", "loop", or "stop" (every sound;
    // `name` is then empty). `name` is relative to the application folder.
    virtual void sound(const std::string &name, const std::string &mode) = 0;
    // Something on the stage changed: "part", "label" (with the slot in `index`), "products",
    // "wallet", "selection", "runlist", "panel", "blink", "everything" (index -1).
    virtual void changed(const std::string &what, int index) = 0;
    // A line was added at the end of the run list.
    virtual void runList(const std::string &line) = 0;
    // The machine wants PageMachine::tick() in `ms` milliseconds; a new request replaces the
    // last one, and -1 withdraws it.
    virtual void timer(int ms) = 0;
};

// A machine in a page: the core's engine with the program's undo history, saved state and run
// view, driven by what the page forwards (pointer events in stage pixels, commands, coins,
// answers, timer ticks). Files are bytes: the application folder lives at `appDir` in the
// module's own memory files.
class PageMachine : private StageView, private SoundPlayer, private RunScheduler {
public:
    PageMachine(const std::string &appDir, int level, int background, PageHost &host);
    ~PageMachine() override;
    PageMachine(const PageMachine &) = delete;
    PageMachine &operator=(const PageMachine &) = delete;

    struct OpenResult {
        bool ok = false;
        std::string message;
    };
    // Reads a document from its bytes as the open command reads a file: a refused one leaves
    // everything as it was and gives the reader's message (also shown through the host).
    OpenResult open(const std::vector<std::uint8_t> &bytes, const std::string &fileName);
    // The bytes the save command writes; empty when the machine cannot be written (while it
    // runs, or a text the document cannot hold: the writer's message is shown). The machine
    // counts as saved only once the page says the bytes are written (markSaved).
    std::vector<std::uint8_t> saveBytes();
    void markSaved(const std::string &fileName);
    // A recovery copy of the machine as it is now, and the way back.
    std::vector<std::uint8_t> recoveryBytes() const;
    OpenResult openRecovery(const std::vector<std::uint8_t> &bytes);

    // Stage pixels; `type`: "down", "move", "up", "dblclick", "contextmenu"; `button` 0 left,
    // 1 middle, 2 right (as in DOM events); `modifiers` bit 1 shift, 2 ctrl, 4 alt.
    void pointer(const std::string &type, int x, int y, int button, int modifiers);
    // A coin of denomination d (0..4 = 1000, 500, 100, 50, 10 yen) dragged from the wallet
    // and let go with its centre at (centreX, centreY), stage pixels.
    void coinDrop(int d, int centreX, int centreY);
    // A click on part slot i while the machine runs (a change lever pulled and let go).
    void touch(int slot);
    // "run", "stop", "stepmode", "next", "wallet", "money", "undo", "redo"; false when the
    // command is not known.
    bool command(const std::string &name);
    void answer(int id, const std::string &answer);
    void tick();
    void blink();
    void soundEnded() {}

    std::string scene() const;
    // The run view "実行のようす" as it is now; the machine is read again first, as the window
    // does before it draws.
    std::string runView();
    // The run view opened or closed: open, the run reports to it and a normal run goes at its
    // speed; closed, a run costs nothing more and goes at full speed.
    void showRunView(bool open);
    // The speed of a normal run, an index into RunSpeeds; out of range changes nothing.
    void setRunSpeed(int index);
    bool isModified() const;
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }

    Engine &engine() { return m_engine; }
    const Machine &machine() const { return m_machine; }

private:
    // StageView
    void showMessage(const std::string &text) override;
    RunMessageAnswer showRunMessage(const std::string &text) override;
    void runListLineAdded(const std::string &line) override;
    void stageChanged(StageChange what, int index) override;
    // SoundPlayer
    void play(const std::string &name, PlayMode mode) override;
    void stop() override;
    int startWaited(const std::string &name) override;
    // RunScheduler
    void resumeAfter(int ms) override;
    void cancelResume() override;

    struct Hit {
        enum Kind { Surface, Part, Label, Product, Coin } kind = Surface;
        int index = -1;
        bool operator==(const Hit &) const = default;
    };
    Hit hitAt(int x, int y) const;
    StageRect itemRect(Hit hit) const;
    void toTwips(Hit hit, int x, int y, int &tx, int &ty) const;
    int ask(const std::string &text, const std::string &buttons, const std::string &icon,
            std::function<void(const std::string &)> then);
    void afterEdit();

    std::string m_appDir;
    PageHost &m_host;
    Machine m_machine;
    Catalogue m_catalogue;
    FilePictureSizes m_sizes;
    Engine m_engine;
    UndoHistory m_history;
    SavedState m_saved;
    RunViewModel m_runView;
    std::string m_fileName;    // the name the machine was opened or saved under
    std::string m_lastMessage; // the last message shown, for open's result
    int m_nextId = 1;
    std::map<int, std::function<void(const std::string &)>> m_questions;
    bool m_timerPending = false;
    bool m_runViewOpen = false;
    int m_runSpeed = 0;
    bool m_pressing = false;
    Hit m_pressed;
};

} // namespace jhk
