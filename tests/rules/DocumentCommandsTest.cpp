// The document commands and the undo history with a small fake face: which questions come in
// which order, that nothing happens before the pupil answers, and which changes are edits.
#include "rules/DocumentCommands.h"

#include "../document/TempFolderTest.h"
#include "../engine/EngineRig.h"
#include "FakeDialogs.h"
#include "rules/MachineHistory.h"
#include "rules/StageTexts.h"
#include "rules/WindowFace.h"

#include <gtest/gtest.h>

namespace jhk {
namespace {

using jhk::testing::Rig;

// The face: records what it was asked to show; its property dialog waits for the test.
class FakeFace : public WindowFace, public StageEditorHooks {
public:
    std::vector<std::string> calls;
    std::function<void(PropertyOutcome, bool)> propertyDialog; // open until answered
    Machine *machine = nullptr;

    UndoExtra paintedState() const override { return {}; }
    void restorePaintedState(const std::shared_ptr<const void> &) override {}
    void showPaintedPictures() override {}
    void forgetPaintedPicture(int slot) override { calls.push_back("forget drawing " + std::to_string(slot)); }
    std::optional<std::string> loadPicturesBeside(const std::string &) override { return std::nullopt; }
    std::optional<std::string> savePicturesBeside(const std::string &) override { return std::nullopt; }
    std::vector<RecoveryPicture> paintedBitmaps() const override { return {}; }
    void showLevel() override { calls.push_back("level " + std::to_string(machine->app.Level)); }
    void showStep(int step) override { calls.push_back("step " + std::to_string(step)); }
    void refresh() override {}
    void takeKeyboard() override {}
    void showPropertyDialog(int slot, const std::string &shown,
                            std::function<void(PropertyOutcome, bool)> closed) override
    {
        calls.push_back("properties " + std::to_string(slot) + (shown.empty() ? "" : " showing " + shown));
        machine->part(slot).PictName = shown.empty() ? "dummy" : shown; // as the dialog does on opening
        propertyDialog = std::move(closed);
    }
    void handOverPaintDrawing() override {}
    void closePaintTool() override {}
    void withTemporaryFolder(const std::function<void(const std::string *)> &use) override { use(nullptr); }

    // StageEditorHooks: a dropped part's dialog is the face's.
    void showPropertyDialog(int slot, std::function<void(PropertyOutcome)> closed) override
    {
        showPropertyDialog(slot, {}, [closed](PropertyOutcome o, bool) { closed(o); });
    }
    std::pair<int, int> labelSize(const LabelControl &, const std::string &) override { return {600, 240}; }
    void changeMoneyInHand() override {}

    // Closes the open property dialog as the pupil does ("キャンセル" marks a new part to go).
    void answerProperties(PropertyOutcome outcome, bool pictureChanged = false)
    {
        ASSERT_TRUE(propertyDialog);
        if (outcome == PropertyOutcome::Cancel)
            machine->app.DeleteNewParts = -1;
        auto closed = std::move(propertyDialog);
        propertyDialog = {};
        closed(outcome, pictureChanged);
    }
};

struct Window : Rig {
    test::FakeDialogs dialogs;
    FakeFace face;
    StageEditor editor{m, engine.stage(), sizes, dialogs, face};
    MachineHistory history{m, engine, editor, face};
    DocumentCommands commands{m, engine, editor, history, dialogs, face};

    Window()
    {
        face.machine = &m;
        engine.partsLoad();
        commands.markSaved();
        history.reset();
    }
    // What a face does after every change it shows.
    void settle() { history.record(); }
    int placeProduct(PropertyOutcome answer = PropertyOutcome::Ok)
    {
        commands.dropFromPalette(DropSource::PartButton, KindProduct, 1500, 1500);
        settle();
        face.answerProperties(answer);
        settle();
        return m.app.CurParts;
    }
};

class DocumentCommandsTest : public jhk::testing::TempFolderTest {};

// Opening over unsaved work asks first: Yes saves (and a cancelled save opens nothing), No
// goes straight to the file dialog, Cancel does nothing. Nothing is opened before the answers.
TEST_F(DocumentCommandsTest, OpeningOverUnsavedWorkAsksAndWaitsForTheAnswers)
{
    const std::string saved = path("saved.jhk");
    {
        Window w;
        w.placeProduct();
        w.dialogs.files.push_back(saved);
        std::optional<bool> done;
        w.commands.save([&](bool ok) { done = ok; });
        ASSERT_EQ(done, true);
    }
    struct Case {
        const char *what;
        Answer answer;
        std::optional<std::string> saveAs; // the save dialog's answer after Yes
        bool opened;
        std::size_t requests;              // question, save dialog, open dialog
    };
    const Case cases[] = {
        {"Yes saves, then opens", Answer::Yes, path("first.jhk"), true, 3},
        {"Yes with the save cancelled opens nothing", Answer::Yes, std::nullopt, false, 2},
        {"No opens without saving", Answer::No, std::nullopt, true, 2},
        {"Cancel does nothing", Answer::Cancel, std::nullopt, false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        w.placeProduct();
        w.placeProduct();
        ASSERT_TRUE(w.commands.hasUnsavedChanges());
        w.dialogs.holdAnswers = true;
        w.dialogs.answers.push_back(c.answer);
        if (c.answer == Answer::Yes)
            w.dialogs.files.push_back(c.saveAs);
        w.dialogs.files.push_back(saved);
        std::optional<bool> done;
        w.commands.open([&](bool opened) { done = opened; });
        std::size_t requests = 0;
        while (!w.dialogs.waiting.empty()) {
            EXPECT_EQ(w.m.app.PartsCount, 2) << "nothing opened before the last answer";
            EXPECT_FALSE(done);
            w.dialogs.answerNext();
            ++requests;
        }
        EXPECT_EQ(requests, c.requests);
        EXPECT_EQ(done, c.opened);
        EXPECT_EQ(w.m.app.PartsCount, c.opened ? 1 : 2);
        EXPECT_EQ(w.dialogs.shown.front(), "今のマシンには保存されていない変更があります。\r\n保存しますか？");
        if (c.opened) {
            EXPECT_FALSE(w.commands.hasUnsavedChanges());
            EXPECT_FALSE(w.history.canUndo()) << "another machine brings no history";
            EXPECT_EQ(w.face.calls.back(), "level 3");
        }
    }
}

// A drop and its property dialog are one edit, recorded once the dialog has closed; a drop
// whose dialog was cancelled leaves no part and no step. "プロパティの変更..." cancelled keeps
// the part exactly as it was; OK with another picture drops the drawing.
TEST(DocumentCommands, ADropAndItsPropertyDialogAreOneEdit)
{
    Window w;
    w.commands.dropFromPalette(DropSource::PartButton, KindProduct, 1500, 1500);
    w.settle();
    ASSERT_TRUE(w.face.propertyDialog);
    EXPECT_TRUE(w.m.partExists(0)) << "the part stands behind its dialog";
    EXPECT_FALSE(w.history.canUndo()) << "no step while the dialog is open";
    w.face.answerProperties(PropertyOutcome::Cancel);
    w.settle();
    EXPECT_EQ(w.m.app.PartsCount, 0);
    EXPECT_FALSE(w.history.canUndo());
    EXPECT_EQ(w.editor.panel().partsCount, "パーツの数：0個");

    const int part = w.placeProduct();
    ASSERT_TRUE(w.m.partExists(part));
    EXPECT_EQ(w.history.steps().undoSteps(), 1u);
    const PartsRecord placed = w.m.part(part);

    w.commands.changeProperties(part);
    ASSERT_TRUE(w.face.propertyDialog);
    w.m.part(part).A() = 150;
    w.m.part(part).PictName = "\\bg\\kan_3.bmp";
    w.face.answerProperties(PropertyOutcome::Cancel);
    w.settle();
    EXPECT_EQ(w.m.part(part), placed) << "Cancel keeps the part as it was";
    EXPECT_TRUE(w.m.partExists(part));
    EXPECT_EQ(w.history.steps().undoSteps(), 1u);

    w.commands.changeProperties(part);
    w.m.part(part).PictName = "\\bg\\kan_3.bmp";
    w.face.answerProperties(PropertyOutcome::Ok, true);
    w.settle();
    EXPECT_EQ(w.face.calls.back(), "forget drawing " + std::to_string(part));
    EXPECT_EQ(w.engine.stage().part(part).picture, "\\bg\\kan_3.bmp");
    EXPECT_EQ(w.history.steps().undoSteps(), 2u);

    w.history.undo();
    EXPECT_EQ(w.m.part(part).PictName, placed.PictName);
    w.history.undo();
    EXPECT_FALSE(w.m.partExists(part));
    EXPECT_TRUE(w.history.canRedo());
}

// A run is no edit; undo waits while the machine runs.
TEST(DocumentCommands, ARunIsNoEditAndUndoWaitsForEditing)
{
    Window w;
    w.placeProduct();
    w.engine.startRun();
    w.settle();
    EXPECT_FALSE(w.history.canUndo());
    w.history.undo();
    EXPECT_EQ(w.m.app.PartsCount, 1);
    w.engine.stopRun();
    w.settle();
    EXPECT_EQ(w.history.steps().undoSteps(), 1u) << "the run made no step";
    w.history.undo();
    EXPECT_EQ(w.m.app.PartsCount, 0);
}

// The Edit menu names the step it would take back or do again; a step the stage does not show
// (a program) is said after it is undone or redone, a step the stage shows is not.
TEST(DocumentCommands, UndoAndRedoNameTheirStepAndSayWhenTheStageLooksTheSame)
{
    Window w;
    EXPECT_EQ(w.history.undoCaption(), "元に戻す(&U)");
    EXPECT_EQ(w.history.redoCaption(), "やり直し(&R)");
    const int part = w.placeProduct();
    const int other = w.placeProduct();
    struct Edit {
        const char *name;
        std::function<void()> change;
        bool shownOnStage;
    };
    const std::vector<Edit> edits = {
        {"パーツの移動", [&] { w.m.part(part).Left += 300; }, true},
        {"プロパティの変更", [&] { w.m.part(part).A() = 150; }, true},
        {"プログラムの変更",
         [&] {
             BlockRecord &b = w.m.part(part).Blocks[0];
             b.Used = -1;
             b.Kind = 20;
             b.Caption = "0商品排出";
             w.m.part(part).BlockCount = 1;
         },
         false},
        {"パーツの削除",
         [&] {
             w.m.app.CurParts = static_cast<std::int16_t>(other);
             w.m.app.SelKind = SelectionPart;
             w.editor.deleteCurrent();
         },
         true},
    };
    for (const Edit &e : edits) {
        e.change();
        w.settle();
        EXPECT_EQ(w.history.undoCaption(), std::string("元に戻す「") + e.name + "」(&U)");
    }
    EXPECT_EQ(w.history.steps().undoSteps(), 2u + edits.size());
    for (auto e = edits.rbegin(); e != edits.rend(); ++e) {
        w.history.undo();
        EXPECT_EQ(w.history.redoCaption(), std::string("やり直し「") + e->name + "」(&R)");
        EXPECT_EQ(w.history.travelNote().empty(), e->shownOnStage) << e->name;
    }
    EXPECT_EQ(w.history.undoCaption(), "元に戻す「パーツの追加」(&U)");
    w.history.redo();
    w.history.redo();
    w.history.redo();
    EXPECT_EQ(w.history.travelNote(), "「プログラムの変更」をやり直しました\n（ステージの見た目は変わりません）");
    EXPECT_EQ(w.history.undoCaption(), "元に戻す「プログラムの変更」(&U)");

    // A new edit ends what there was to redo; leaving editing leaves both entries bare.
    w.m.part(part).Top += 300;
    w.settle();
    EXPECT_EQ(w.history.redoCaption(), "やり直し(&R)");
    w.engine.startRun();
    w.settle();
    EXPECT_EQ(w.history.undoCaption(), "元に戻す(&U)");
}

// Undoing the only part leaves the selected-part panel as an empty stage shows it, not naming
// the part that is gone; redoing it selects the part again.
TEST(DocumentCommands, UndoingTheOnlyPartEmptiesTheSelectedPartPanel)
{
    Window w;
    const SelectionPanel empty = w.editor.panel();
    const int part = w.placeProduct();
    ASSERT_EQ(w.editor.panel().partsId, "パーツ番号：" + std::to_string(part));
    w.history.undo();
    ASSERT_FALSE(w.m.partExists(part));
    SelectionPanel expected = empty;
    expected.partsCount = "パーツの数：0個";
    const SelectionPanel &panel = w.editor.panel();
    EXPECT_EQ(panel.partsId, expected.partsId);
    EXPECT_EQ(panel.partsName, expected.partsName);
    EXPECT_EQ(panel.x, expected.x);
    EXPECT_EQ(panel.y, expected.y);
    EXPECT_FALSE(panel.pictureVisible);
    EXPECT_EQ(panel.partsCount, expected.partsCount);
    EXPECT_EQ(w.m.app.SelKind, SelectionNone);
    w.history.redo();
    EXPECT_EQ(w.editor.panel().partsId, "パーツ番号：" + std::to_string(part));
    EXPECT_TRUE(w.editor.panel().pictureVisible);
}

// Quitting with work on the stage: Yes saves through the save dialog, and the program ends
// only once that save has succeeded.
TEST_F(DocumentCommandsTest, QuittingWaitsForTheSaveItAskedFor)
{
    Window w;
    w.placeProduct();
    w.dialogs.holdAnswers = true;
    w.dialogs.answers.push_back(Answer::Yes);
    w.dialogs.files.push_back(path("quit.jhk"));
    std::optional<bool> quits;
    w.commands.quit([&](bool q) { quits = q; });
    EXPECT_FALSE(quits);
    ASSERT_TRUE(w.dialogs.answerNext());
    EXPECT_FALSE(quits) << "the save dialog is up";
    ASSERT_TRUE(w.dialogs.answerNext());
    EXPECT_EQ(quits, true);
    EXPECT_FALSE(w.commands.hasUnsavedChanges());
    EXPECT_EQ(w.dialogs.shown, (std::vector<std::string>{std::string(QuitSaveQuestion)}));
}

} // namespace
} // namespace jhk
