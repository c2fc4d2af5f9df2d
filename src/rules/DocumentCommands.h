#pragma once

#include "rules/QuitPrompt.h"
#include "rules/SavedState.h"
#include "rules/StageEditor.h"

#include <functional>
#include <memory>
#include <string>

namespace jhk {

class Engine;
class MachineHistory;
class RecoveryStore;
class UserDialogs;
class WindowFace;

// The commands that act on the machine as a whole document, and the stage commands that open
// the property dialog: opening (asking first about unsaved work), saving under a name chosen
// in "ファイルの保存", quitting with its prompt, the recovery copy kept while the machine has
// unsaved changes and offered at the next start, a drop from the palette and "プロパティの
// 変更...". Every question is a request: `done` gets the outcome once the pupil has answered
// (at once when the answers are prepared).
class DocumentCommands : private QuitActions {
public:
    DocumentCommands(Machine &machine, Engine &engine, StageEditor &editor, MachineHistory &history,
                     UserDialogs &dialogs, WindowFace &face);
    ~DocumentCommands() override;

    // The machine as it is now is the one last saved (a new machine, a machine opened).
    void markSaved() { m_saved.markSaved(m_machine); }
    bool hasUnsavedChanges() const { return m_saved.hasUnsavedChanges(m_machine); }
    // The machine counts as unsaved until the next save (the face could not keep the file
    // after all, or the machine came back from a recovery copy).
    void markUnsaved() { m_saved.forget(); }

    // Before the machine is replaced (opened over, a new one): unsaved work is offered a save
    // first; `goOn` gets whether the machine may be replaced now.
    void offerSave(std::function<void(bool goOn)> goOn);

    // "ファイルを開く": unsaved work is offered a save first, then the file dialog.
    void open(std::function<void(bool opened)> done = {});
    // Opens the document at `path`; false when it was refused (its message has been shown).
    bool openPath(const std::string &path);
    // "ファイルの保存": the file dialog, then the pictures and the document.
    void save(std::function<void(bool saved)> done = {});
    // The window is being closed: the quit prompt decides whether the program ends.
    void quit(std::function<void(bool quits)> decided);

    // Recovery copies of a machine with unsaved changes, kept in `folder`.
    void enableRecovery(const std::string &folder);
    // Writes the recovery copy now if the machine has unsaved changes, removes it otherwise.
    void keepRecoveryCopy();
    // Offers the copy a program that ended without saving left behind; `done` gets whether
    // the machine was restored.
    void offerRecovery(std::function<void(bool restored)> done = {});

    // A palette button dropped on the stage's surface at (x, y) twips: the new part and what
    // its property dialog gives it are one edit; a drop whose dialog was cancelled leaves
    // nothing behind and is no edit.
    void dropFromPalette(DropSource source, int kind, double x, double y);
    // "プロパティの変更..." for a part on the stage: a new picture or new starting values.
    // Unlike after a drop, Cancel (or the close box) keeps the part exactly as it was.
    void changeProperties(int slot);

private:
    // QuitActions
    void handOverPaintDrawing() override;
    void closePaintTool() override;
    void stopRun() override;
    void saveWithDialog(std::function<void(bool)> saved) override { save(std::move(saved)); }

    void chooseFileToOpen(std::function<void(bool)> done);
    void keepSelectionAfterOpen();
    void showRecoveryNotices();

    Machine &m_machine;
    Engine &m_engine;
    StageEditor &m_editor;
    MachineHistory &m_history;
    UserDialogs &m_dialogs;
    WindowFace &m_face;
    SavedState m_saved;
    std::unique_ptr<RecoveryStore> m_recovery;
};

} // namespace jhk
