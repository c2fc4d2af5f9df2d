#pragma once

#include "engine/Engine.h"
#include "engine/PictureSizes.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "rules/BlockEditorSession.h"
#include "rules/DocumentCommands.h"
#include "rules/LabelEditorLogic.h"
#include "rules/MachineHistory.h"
#include "rules/PropertyDialogLogic.h"
#include "rules/RunViewModel.h"
#include "rules/SavedState.h"
#include "rules/StageController.h"
#include "rules/StageEditor.h"
#include "rules/UserDialogs.h"
#include "rules/WindowFace.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jhk {

// What the page does for the machine: shows messages and asks questions (answered later with
// PageMachine::answer), plays sounds, redraws what changed, and keeps one timer for the run.
class PageHost {
public:
    virtual ~PageHost() = default;
    // A message box. `buttons`: "ok", "okcancel", "yesno", "yesnocancel", "okstop" (OK and
    // "停止", a message of a running machine, which waits for the answer) or "input" (a text
    // box with OK and Cancel, opened with `initial` in it); `icon`: "", "information",
    // "exclamation", "question", "critical".
    virtual void message(int id, const std::string &text, const std::string &buttons, const std::string &icon,
                         const std::string &initial) = 0;
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
    // The stage asks for a window of the page: "partmenu" (the menu "プロパティの変更..." of
    // part `index`, at the pointer), "properties" (the property dialog of part `index`: its
    // contents from PageMachine::propertyDialog), "label" (the editor of label `index`),
    // "blockeditor" (the block editor of part `index`); and for the file commands: "openfile"
    // and "savefile" (the file dialogs "ファイルを開く" and "ファイルの保存", answered with
    // PageMachine::fileChosen), "opened" (an open has ended: `index` 1 when a machine was
    // opened, 0 when not), "new" (the pupil may start a new machine: the start window),
    // "quit" (the pupil has decided to end the program); "levelchosen" (環境設定 has done:
    // `index` 1 when the level was raised), when the settings window closes.
    virtual void request(const std::string &what, int index) { (void)what, (void)index; }
    // The size in pixels of a label's caption in its font, as the page draws it; nothing when
    // the page cannot measure.
    virtual std::optional<std::pair<int, int>> labelPixels(const LabelControl &label, const std::string &fontName)
    {
        (void)label, (void)fontName;
        return std::nullopt;
    }
};

// A machine in a page: the core's engine with the program's undo history, saved state and run
// view, driven by what the page forwards (pointer events in stage pixels, commands, coins,
// answers, timer ticks). Files are bytes: the application folder lives at `appDir` in the
// module's own memory files.
class PageMachine : private StageView,
                    private SoundPlayer,
                    private RunScheduler,
                    private StageEditorHooks,
                    private StageControllerHost,
                    private UserDialogs {
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
    // The file dialog the page was asked for has been answered: the name chosen (empty when
    // cancelled) and, for "ファイルを開く", the file's bytes. For "ファイルの保存" the bytes
    // to write under that name are returned (empty when nothing was saved: its message has
    // been shown); the machine counts as saved from then on.
    std::vector<std::uint8_t> fileChosen(const std::string &name, const std::vector<std::uint8_t> &bytes);
    // The bytes fileChosen gave could not be written after all: the machine is unsaved again.
    void writeFailed() { m_commands.markUnsaved(); }
    // The environment settings "環境設定": JSON of the level options
    // ([{caption, text, enabled, checked}]), and "決定" with level `chosen` (1..3): the
    // question, the raise and its message as the desktop's.
    std::string levelOptions() const;
    void chooseLevel(int chosen);
    // A recovery copy of the machine as it is now, and the way back.
    std::vector<std::uint8_t> recoveryBytes() const;
    OpenResult openRecovery(const std::vector<std::uint8_t> &bytes);
    // A copy a visit left behind without saving, written at `madeAt` (seconds since 1970, or
    // negative when not known): the desktop's question whether to restore it, then
    // request("recovered", 1 when the machine came back, else 0).
    void offerRecovery(const std::vector<std::uint8_t> &bytes, double madeAt);

    // Stage pixels; `type`: "down", "move", "up", "dblclick", "contextmenu"; `button` 0 left,
    // 1 middle, 2 right (as in DOM events); `modifiers` bit 1 shift, 2 ctrl, 4 alt. The stage
    // controller decides what each means in the mode the machine is in. "contextmenu" is a
    // long press of a finger: the right button's press and release where the finger is.
    void pointer(const std::string &type, int x, int y, int button, int modifiers);

    // The palette: button `kind` (0..7 a part, 5 the money in hand, 8 the label) pressed; true
    // when a drag of it starts.
    bool paletteDown(int kind);
    // Palette button `kind` dragged onto the stage and let go at (x, y), stage pixels. Only the
    // stage's bare surface takes a drop.
    void paletteDrop(int kind, int x, int y);
    // "プロパティの変更..." of part `slot`'s menu.
    void changeProperties(int slot);
    // The property dialog open now, as JSON ("null" when none is open).
    std::string propertyDialog() const;
    void propertyScroll(int value);
    struct PropertyAnswer {
        bool accepted = false;
        int refusedBox = -1;
        bool resetBox = false;
    };
    // "決定" with the texts of the three boxes: a refused value shows its message and keeps
    // the dialog open.
    PropertyAnswer propertyOk(const std::array<std::string, 3> &texts);
    // "キャンセル", Escape or the close box.
    void propertyCancel();

    // The label editor "ラベルの編集" open now (a double-click on a label), as JSON ("null"
    // when none is open); its boxes as the pupil changed them; a press at (x, y) pixels of
    // the dialog (a colour strip's cell chooses that colour); "決定" and "キャンセル".
    std::string labelDialog() const;
    void labelEdit(const std::string &caption, const std::string &fontName, const std::string &fontSize, bool italic,
                   bool bold, bool transparent);
    void labelPress(int x, int y);
    void labelOk();
    void labelCancel();
    // A coin of denomination d (0..4 = 1000, 500, 100, 50, 10 yen) dragged from the wallet
    // and let go with its centre at (centreX, centreY), stage pixels.
    void coinDrop(int d, int centreX, int centreY);
    // A click on part slot i while the machine runs (a change lever pulled and let go).
    void touch(int slot);
    // "run", "stop", "stepmode", "next", "wallet", "money", "undo", "redo", "delete" (パーツの
    // 削除), "step1".."step3"; the file commands "open" (ファイルを開く), "save" (ファイルの保存),
    // "new" (a new machine, after offering to save unsaved work), "quit" (the quit prompt);
    // false when the command is not known.
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
    // What to tell the pupil after the last undo or redo (a step the stage does not show), or "".
    const std::string &historyNote() const { return m_history.travelNote(); }

    // --- The block editor of a part (PageMachine_BlockEditor.cpp): opened by a double-click
    // on a part while editing (the page gets request("blockeditor", part)); modal until 決定,
    // キャンセル or its close box. Canvas positions are canvas pixels (353 × 441).
    // Everything the editor window shows, as JSON ("null" while no editor is open).
    std::string blockEditor() const;
    // A pointer event on the flowchart canvas: "down", "move", "up", "dblclick"; `button` 0
    // left, 2 right. Returns what the window shows next: "popup" (the box's menu), "detail"
    // (the block detail dialog) or "".
    std::string editorPointer(const std::string &type, double x, double y, int button);
    // The box's pop-up menu: 0 "指定１", 1 "指定２", 2 "削除".
    void editorPopup(int entry);
    // Palette entry `position` of tab `tab` dragged out and let go over the canvas at (x, y).
    void editorDrop(int tab, int position, double x, double y);
    // "delete" (ブロックの削除), "first" (指定 of the start), "next1", "next2" (指定 of the
    // execution order), "ok" (決定), "cancel" (キャンセル), "close" (the close box, Escape),
    // "undo", "redo". False for an unknown name.
    bool editorCommand(const std::string &name);
    // The part information as the pupil types it: a variable's text, the drag-mode box.
    void editorVariable(int row, const std::string &text);
    void editorDragMode(bool on);
    // The block detail dialog "ブロックの説明": a "指定" button (0, 1, 2), the operator and
    // lamp lists, ＯＫ, and its close box or Escape.
    void detailPick(int button);
    void detailOperator(const std::string &text);
    void detailLamp(const std::string &text);
    void detailOk();
    void detailClose();
    // The variable menu shown after a part was picked for a comparison (blockEditor().
    // variableMenu): entry 0..2, or -1 when it closed without a choice.
    void chooseVariable(int entry);
    // Escape on the stage: a pick of a part for an operand is given up. False when nothing was
    // being picked.
    bool escape();

    Engine &engine() { return m_engine; }
    StageEditor &editor() { return m_editor; }
    const Machine &machine() const { return m_machine; }
    const Catalogue &catalogue() const { return m_catalogue; }

private:
    // StageView
    void showMessage(const std::string &text) override;
    void showRunMessage(const std::string &text, std::function<void(RunMessageAnswer)> answered) override;
    void runListLineAdded(const std::string &line) override;
    void stageChanged(StageChange what, int index) override;
    // SoundPlayer
    void play(const std::string &name, PlayMode mode) override;
    void stop() override;
    int startWaited(const std::string &name) override;
    // RunScheduler
    void resumeAfter(int ms) override;
    void cancelResume() override;

    // StageEditorHooks
    void showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed) override;
    std::pair<int, int> labelSize(const LabelControl &label, const std::string &fontName) override;
    void changeMoneyInHand() override;
    // StageControllerHost
    void offerPartMenu(int slot) override;
    void openBlockEditor(int part) override;
    void editLabel(int label) override;
    void askVariable(const std::array<std::string, 3> &captions,
                     std::function<void(std::optional<int>)> answer) override;
    void finishPick() override;
    void refresh() override {}
    void stageMoved() override {}
    // UserDialogs: the stage editor's messages; the page shows them and the editor goes on.
    void ask(std::string_view text, MessageButtons buttons, MessageIcon icon, AnswerHandler answered) override;
    void openFileName(TextHandler chosen) override { askForFile(false, std::move(chosen)); }
    void saveFileName(TextHandler chosen) override { askForFile(true, std::move(chosen)); }
    using UserDialogs::inputText;
    void inputText(std::string_view prompt, std::string_view text, TextHandler typed) override;
    void askForFile(bool save, TextHandler chosen);
    bool fileCommand(const std::string &name);

    // The property dialog for `slot`, shown by the page; `shownPicture` is empty for a part
    // just dropped.
    void openProperties(int slot, const std::string &shownPicture, bool newPart,
                        std::function<void(PropertyOutcome, bool pictureChanged)> closed);
    void closeProperties(PropertyOutcome outcome);

    // What the window rules ask of the page: it keeps no painted pictures of its own (the paint
    // tool is on the desktop) and reads everything it shows again from the scene.
    class Face final : public WindowFace {
    public:
        explicit Face(PageMachine &page) : m_page(page) {}
        UndoExtra paintedState() const override { return {}; }
        void restorePaintedState(const std::shared_ptr<const void> &) override {}
        void showPaintedPictures() override {}
        void forgetPaintedPicture(int) override {}
        std::optional<std::string> loadPicturesBeside(const std::string &) override { return std::nullopt; }
        std::optional<std::string> savePicturesBeside(const std::string &) override { return std::nullopt; }
        std::vector<RecoveryPicture> paintedBitmaps() const override { return {}; }
        void showLevel() override {}
        void showStep(int) override {}
        void refresh() override;
        void takeKeyboard() override {}
        void showPropertyDialog(int slot, const std::string &shownPicture,
                                std::function<void(PropertyOutcome, bool)> closed) override;
        void handOverPaintDrawing() override {}
        void closePaintTool() override {}
        void withTemporaryFolder(const std::function<void(const std::string *)> &use) override { use(nullptr); }

    private:
        PageMachine &m_page;
    };
    int ask(const std::string &text, const std::string &buttons, const std::string &icon,
            std::function<void(const std::string &)> then, const std::string &initial = {});
    void afterEdit();

    std::string m_appDir;
    PageHost &m_host;
    Machine m_machine;
    Catalogue m_catalogue;
    FilePictureSizes m_sizes;
    Engine m_engine;
    RunViewModel m_runView;
    std::string m_fileName;    // the name the machine was opened or saved under
    std::string m_lastMessage; // the last message shown, for open's result
    int m_nextId = 1;
    std::map<int, std::function<void(const std::string &)>> m_questions;
    bool m_timerPending = false;
    StageEditor m_editor;
    StageController m_controller;
    int m_buttonsHeld = 0;     // the pointer's buttons down on the stage, a bit each
    Face m_face{*this};
    MachineHistory m_history;
    DocumentCommands m_commands;
    // The property dialog open now: for a part just dropped or for one on the stage; `closed`
    // gets how it was closed and finishes the drop or the change.
    struct OpenProperties {
        PropertyDialogLogic logic;
        std::function<void(PropertyOutcome, bool pictureChanged)> closed;
        bool newPart = false;
    };
    std::optional<OpenProperties> m_properties;
    struct OpenLabel {
        int slot;
        LabelEditorLogic logic;
    };
    std::optional<OpenLabel> m_label;
    // A file dialog of the page waiting for the pupil's choice.
    struct FileQuestion {
        bool save = false;
        TextHandler chosen;
    };
    std::optional<FileQuestion> m_fileQuestion;
    std::string m_chosenName; // the name last chosen in a file dialog
    bool m_runViewOpen = false;
    // The block editor open now, and the variable menu it waits for after a pick on the stage.
    void openBlockEditorSession(int part);
    void blockEditorClosed();
    void editorChanged();
    std::unique_ptr<BlockEditorSession> m_blockEditor;
    std::function<void(std::optional<int>)> m_variableAnswer;
    std::array<std::string, 3> m_variableCaptions;
    int m_runSpeed = 0;
};

} // namespace jhk
