#include "rules/DocumentCommands.h"

#include "document/RecoveryStore.h"
#include "engine/Engine.h"
#include "model/AppState.h"
#include "rules/MachineHistory.h"
#include "rules/StageTexts.h"
#include "rules/UserDialogs.h"
#include "rules/WindowFace.h"

namespace jhk {

namespace {

constexpr const char *UnsavedQuestion = "今のマシンには保存されていない変更があります。\r\n保存しますか？";

void tell(const std::function<void(bool)> &done, bool result)
{
    if (done)
        done(result);
}

} // namespace

DocumentCommands::DocumentCommands(Machine &machine, Engine &engine, StageEditor &editor, MachineHistory &history,
                                   UserDialogs &dialogs, WindowFace &face)
    : m_machine(machine), m_engine(engine), m_editor(editor), m_history(history), m_dialogs(dialogs), m_face(face),
      m_saved(machine)
{
}

DocumentCommands::~DocumentCommands() = default;

void DocumentCommands::open(std::function<void(bool)> done)
{
    if (m_machine.app.RunMode != ModeEditing) {
        tell(done, false);
        return;
    }
    offerSave([this, done](bool goOn) {
        if (goOn)
            chooseFileToOpen(done);
        else
            tell(done, false);
    });
}

void DocumentCommands::offerSave(std::function<void(bool)> goOn)
{
    if (!hasUnsavedChanges()) {
        goOn(true);
        return;
    }
    m_dialogs.ask(UnsavedQuestion, MessageButtons::YesNoCancel, MessageIcon::Question, [this, goOn](Answer a) {
        switch (a) {
        case Answer::Yes:
            save([goOn](bool saved) { goOn(saved); });
            return;
        case Answer::No:
            goOn(true);
            return;
        default:
            goOn(false);
        }
    });
}

void DocumentCommands::chooseFileToOpen(std::function<void(bool)> done)
{
    m_dialogs.openFileName([this, done](std::optional<std::string> name) {
        m_face.takeKeyboard();
        tell(done, name && openPath(*name));
    });
}

bool DocumentCommands::openPath(const std::string &path)
{
    const bool read = m_history.unrecorded([&] { return m_engine.openDocument(path); });
    if (!read) {
        m_face.refresh();
        return false;
    }
    for (int j = 0; j < LabelSlots; ++j) {
        m_editor.setLabelFont(j, {});
        if (m_engine.stage().labels[static_cast<std::size_t>(j)].visible)
            m_editor.fitLabel(j);
    }
    const auto pictureProblem = m_face.loadPicturesBeside(path);
    m_face.showPaintedPictures();
    keepSelectionAfterOpen();
    if (m_machine.app.Level == 1)
        m_face.showStep(1);
    m_editor.panel().partsCount = partsCountCaption(m_machine.app.PartsCount, m_machine.app.LabelCount);
    // The document brings its level even when it holds nothing: the panel and the step menu
    // always follow it.
    m_face.showLevel();
    markSaved();
    // Another machine: nothing of the old one's history applies to it.
    m_history.reset();
    m_face.refresh();
    if (pictureProblem)
        m_dialogs.message(*pictureProblem, MessageIcon::Exclamation);
    return true;
}

void DocumentCommands::keepSelectionAfterOpen()
{
    // The document names the current slot; whether that is a part or a label is decided by
    // what exists, so that the delete button never acts on an empty slot.
    AppState &app = m_machine.app;
    const bool part = m_machine.partExists(app.CurParts);
    const bool label = app.CurParts >= 1 && app.CurParts < LabelSlots && m_machine.label(app.CurParts).isUsed();
    if (app.SelKind == SelectionPart && part)
        return;
    if (app.SelKind == SelectionLabel && label)
        return;
    app.SelKind = part ? SelectionPart : (label ? SelectionLabel : SelectionNone);
    if (app.SelKind == SelectionNone)
        app.CurParts = -1;
}

void DocumentCommands::save(std::function<void(bool)> done)
{
    if (m_machine.app.RunMode != ModeEditing) {
        tell(done, false);
        return;
    }
    m_dialogs.saveFileName([this, done](std::optional<std::string> name) {
        // The keyboard comes back to the stage window after the file dialog.
        m_face.takeKeyboard();
        if (!name) {
            tell(done, false);
            return;
        }
        // Pictures drawn in the paint tool go beside the document first; the document names them.
        if (const auto refused = m_face.savePicturesBeside(*name)) {
            m_dialogs.message(*refused, MessageIcon::Critical);
            tell(done, false);
            return;
        }
        const bool saved = m_engine.saveDocument(*name);
        // Saving names the painted pictures' files and turns sizes into pixels: not an edit.
        m_history.rebase();
        if (saved) {
            markSaved();
            if (m_recovery)
                m_recovery->discard();
        }
        tell(done, saved);
    });
}

void DocumentCommands::quit(std::function<void(bool)> decided)
{
    confirmQuit(m_machine.app, m_dialogs, *this, [this, decided](bool quits) {
        if (quits && m_recovery)
            m_recovery->discard(); // the pupil was asked: nothing to bring back
        decided(quits);
    });
}

void DocumentCommands::handOverPaintDrawing() { m_face.handOverPaintDrawing(); }
void DocumentCommands::closePaintTool() { m_face.closePaintTool(); }

void DocumentCommands::stopRun()
{
    m_engine.stopRun();
    m_face.refresh();
}

// --- Recovery copies: the rules only decide when; the store keeps, finds and restores them.

void DocumentCommands::enableRecovery(const std::string &folder)
{
    m_recovery = std::make_unique<RecoveryStore>(folder);
}

void DocumentCommands::showRecoveryNotices()
{
    for (const std::string &notice : m_recovery->takeNotices())
        m_dialogs.message(notice, MessageIcon::Exclamation);
}

void DocumentCommands::keepRecoveryCopy()
{
    // During a run the tables hold the run's values; the copy keeps the machine as edited.
    if (!m_recovery || m_machine.app.RunMode != ModeEditing)
        return;
    if (!hasUnsavedChanges()) {
        m_recovery->discard();
        return;
    }
    // A copy that cannot be written is tried again at the next tick; the store says once
    // that copies cannot be written now.
    m_recovery->keep(m_machine, [this] { return m_face.paintedBitmaps(); });
    showRecoveryNotices();
}

void DocumentCommands::offerRecovery(std::function<void(bool)> done)
{
    if (!m_recovery || m_machine.app.RunMode != ModeEditing) {
        tell(done, false);
        return;
    }
    auto claimed = m_recovery->claimLeftCopy();
    showRecoveryNotices();
    if (!claimed) {
        tell(done, false);
        return;
    }
    auto left = std::make_shared<RecoveryStore::LeftCopy>(std::move(*claimed));
    m_dialogs.ask(recoveryQuestion(left->madeAt()), MessageButtons::YesNo, MessageIcon::Question,
                  [this, left, done](Answer a) {
                      bool restored = false;
                      if (a == Answer::Yes) {
                          const RecoveryRead read = left->read();
                          if (!read.machine) {
                              m_dialogs.message(read.message, MessageIcon::Critical);
                          } else {
                              // Opened like a document, so pictures, labels and the level panel
                              // come back the same way; but it stays a machine with unsaved
                              // changes.
                              m_face.withTemporaryFolder([&](const std::string *folder) {
                                  const auto path = folder ? read.machine->unpack(*folder) : std::nullopt;
                                  if (!path) {
                                      m_dialogs.message(std::string(DamagedRecoveryMessage) +
                                                            "\n一時フォルダに書き込めません。",
                                                        MessageIcon::Critical);
                                      return;
                                  }
                                  const auto before = std::make_unique<Machine>(m_machine);
                                  restored = openPath(*path);
                                  if (restored) {
                                      m_saved.markSaved(*before);
                                      keepRecoveryCopy();
                                  }
                              });
                          }
                      }
                      left->remove();
                      tell(done, restored);
                  });
}

// --- The property dialog from the stage ----------------------------------------------------

void DocumentCommands::dropFromPalette(DropSource source, int kind, double x, double y)
{
    const int placedBefore = m_machine.app.PartsCount + m_machine.app.LabelCount;
    m_history.pause();
    m_editor.dropOnStage(source, kind, x, y, [this, placedBefore] {
        m_history.resume();
        if (m_machine.app.PartsCount + m_machine.app.LabelCount == placedBefore)
            m_history.rebase();
        m_face.refresh();
    });
}

void DocumentCommands::changeProperties(int slot)
{
    if (m_machine.app.RunMode != ModeEditing || !m_machine.partExists(slot))
        return;
    const PartsRecord before = m_machine.part(slot);
    const std::string shown = m_engine.stage().part(slot).picture;
    // Behind the dialog the window shows the part as it is now; the edit is recorded once the
    // dialog has decided.
    m_history.unrecorded([this] { m_face.refresh(); });
    m_face.showPropertyDialog(slot, shown.empty() ? "dummy" : shown,
                              [this, slot, before](PropertyOutcome outcome, bool pictureChanged) {
                                  m_machine.app.DeleteNewParts = 0;
                                  if (!m_machine.partExists(slot)) {
                                      m_face.refresh();
                                      return;
                                  }
                                  if (outcome == PropertyOutcome::Ok && pictureChanged) {
                                      // Another picture replaces the painted one, also in the
                                      // saved machine.
                                      m_face.forgetPaintedPicture(slot);
                                      m_engine.stage().setPartPicture(m_machine, m_engine.pictureSizes(), slot,
                                                                      m_machine.part(slot).PictName);
                                  } else if (outcome == PropertyOutcome::Edit) {
                                      // The part keeps its picture until the paint tool hands it
                                      // a new one.
                                      m_machine.part(slot).PictName = before.PictName;
                                  } else if (outcome != PropertyOutcome::Ok) {
                                      m_machine.part(slot) = before;
                                  }
                                  m_face.refresh();
                              });
}

} // namespace jhk
