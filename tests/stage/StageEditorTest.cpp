#include "rules/StageEditor.h"

#include "FakeDialogs.h"
#include "document/DocumentCheck.h"
#include "document/JhkDocument.h"
#include "engine/PictureSizes.h"
#include "model/AppState.h"

#include <gtest/gtest.h>

namespace jhk {
namespace {

constexpr int Twips = 15;

class NoFiles : public PictureSizes {
public:
    std::optional<PixelSize> fileSize(const std::string &) const override { return std::nullopt; }
};

class Hooks : public StageEditorHooks {
public:
    PropertyOutcome outcome = PropertyOutcome::Ok;
    int dialogs = 0;
    int moneyInputs = 0;
    void showPropertyDialog(int, std::function<void(PropertyOutcome)> closed) override
    {
        ++dialogs;
        machine->part(machine->app.CurParts).PictName = "dummy"; // as the dialog does on opening
        if (answerLater) {
            later = std::move(closed);
            return;
        }
        if (outcome == PropertyOutcome::Cancel)
            machine->app.DeleteNewParts = -1;
        closed(outcome);
    }
    bool answerLater = false;
    std::function<void(PropertyOutcome)> later;
    std::pair<int, int> labelSize(const LabelControl &, const std::string &) override { return {600, 240}; }
    void changeMoneyInHand() override { ++moneyInputs; }
    Machine *machine = nullptr;
};

class StageEditorTest : public ::testing::Test {
protected:
    StageEditorTest()
    {
        applyStartupValues(m.app, Twips, Twips);
        m.app.Level = 3;
        m.app.Step = 1;
        hooks.machine = &m;
    }

    int placePart(int kind, int x = 1500, int y = 1500)
    {
        editor.dropOnStage(DropSource::PartButton, kind, x, y);
        return m.app.CurParts;
    }
    int placeLabel(int x = 300, int y = 300)
    {
        editor.dropOnStage(DropSource::LabelButton, 0, x, y);
        return m.app.CurParts;
    }
    // Presses part i at (gx, gy) inside it, moves the mouse there by (dx, dy) and releases.
    void dragPart(int i, int dx, int dy, bool modifier = false)
    {
        editor.partDown(i, true, 30, 30);
        editor.partMove(i, 30 + dx, 30 + dy, modifier);
        editor.partUp(i, true);
    }

    Machine m;
    Stage stage;
    NoFiles sizes;
    test::FakeDialogs dialogs;
    Hooks hooks;
    StageEditor editor{m, stage, sizes, dialogs, hooks};
};

TEST_F(StageEditorTest, PartsTakeTheLowestFreeSlotAndKeepTheirNumbers)
{
    EXPECT_EQ(placePart(KindProduct), 0);
    EXPECT_EQ(placePart(KindButton), 1);
    EXPECT_EQ(placePart(KindCounter), 2);
    EXPECT_TRUE(stage.part(0).numberShown);
    EXPECT_EQ(editor.panel().partsCount, "パーツの数：3個");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：2");

    editor.partDown(0, true, 0, 0);
    editor.partUp(0, true);
    editor.deleteCurrent();
    EXPECT_FALSE(m.part(0).isUsed());
    EXPECT_TRUE(m.part(1).isUsed() && m.part(2).isUsed());
    EXPECT_EQ(m.app.CurParts, 1) << "the lowest remaining part becomes current";
    EXPECT_EQ(editor.panel().partsCount, "パーツの数： 2個");
    EXPECT_EQ(placePart(KindLever), 0);
    EXPECT_EQ(m.part(0).Kind, KindLever);
    EXPECT_EQ(hooks.dialogs, 4);
}

TEST_F(StageEditorTest, NewPartSitsWhereItWasDroppedWithItsPictureAndFrame)
{
    const int i = placePart(KindProduct, 1440, 960);
    const PartControl &c = stage.part(i);
    EXPECT_TRUE(c.visible);
    EXPECT_EQ(c.picture, "dummy");
    EXPECT_EQ(c.rect, (StageRect{1440, 960, 34 * Twips, 67 * Twips}));
    EXPECT_TRUE(stage.selection.visible);
    EXPECT_EQ(stage.selection.rect, (StageRect{1440 - 60, 960 - 60, 34 * Twips + 120, 67 * Twips + 120}));
    EXPECT_EQ(editor.panel().x, "Ｘ座標：96");
    EXPECT_EQ(editor.panel().y, "Ｙ座標：64");
    EXPECT_TRUE(stage.controls.deleteEnabled);
}

TEST_F(StageEditorTest, PartDroppedOutsideTheStageJumpsBack)
{
    const int width = 34 * Twips;
    const int height = 67 * Twips;
    const int stageW = 408 * Twips;
    const int stageH = 500 * Twips;
    struct Case {
        const char *what;
        int left, top;
        bool staysThere;
    };
    const Case cases[] = {
        {"right edge on the stage's edge", stageW - width, 1000, true},
        {"right edge one twip beyond", stageW - width + 1, 1000, false},
        {"half its height below the bottom", 1000, stageH - (height + 1) / 2, true},
        {"more than half below the bottom", 1000, stageH - (height + 1) / 2 + 1, false},
        {"left edge one twip beyond", -1, 1000, false},
        {"top edge one twip beyond", 1000, -1, false},
    };
    const int i = placePart(KindProduct, 1500, 1500);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const StageRect before = stage.part(i).rect;
        dragPart(i, c.left - before.left, c.top - before.top);
        const StageRect &r = stage.part(i).rect;
        if (c.staysThere)
            EXPECT_EQ(std::pair(r.left, r.top), std::pair(c.left, c.top));
        else
            EXPECT_EQ(std::pair(r.left, r.top), std::pair(before.left, before.top));
        EXPECT_EQ(m.part(i).Left, r.left);
        EXPECT_EQ(m.part(i).Top, r.top);
        EXPECT_TRUE(stage.part(i).visible);
        // Back to a known place for the next case.
        dragPart(i, 1500 - r.left, 1500 - r.top);
    }
}

TEST_F(StageEditorTest, ModifierKeyKeepsThePartStillAndHiddenUntilReleased)
{
    const int i = placePart(KindButton, 1500, 1500);
    editor.partDown(i, true, 30, 30);
    editor.partMove(i, 330, 330, true);
    EXPECT_FALSE(stage.part(i).visible);
    EXPECT_EQ(stage.part(i).rect.left, 1500);
    editor.partMove(i, 330, 330, false);
    EXPECT_EQ(stage.part(i).rect.left, 1800);
    EXPECT_EQ(stage.selection.rect.left, 1800 - 4) << "while dragging the frame lies on the part's edge";
    editor.partUp(i, true);
    EXPECT_TRUE(stage.part(i).visible);
    EXPECT_EQ(stage.selection.rect.left, 1800 - 4 * Twips);
    EXPECT_EQ(editor.panel().x, "Ｘ座標：120");
}

TEST_F(StageEditorTest, TenLabelsDisableTheLabelButtonAndDeletingOneEnablesIt)
{
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(placeLabel(), n);
    EXPECT_FALSE(stage.controls.labelButtonEnabled);
    EXPECT_EQ(m.app.LabelCount, 10);
    EXPECT_EQ(m.label(10).Caption, "ラベル10");
    EXPECT_EQ(editor.panel().x, "300") << "labels report twips";

    editor.labelDown(4, true, 0, 0);
    editor.labelUp(4, true);
    editor.deleteCurrent();
    EXPECT_TRUE(stage.controls.labelButtonEnabled);
    EXPECT_EQ(m.app.CurParts, 10) << "the highest label left becomes current";
    EXPECT_EQ(placeLabel(), 4) << "a new label takes the freed slot";
}

TEST_F(StageEditorTest, ThirtiethPartDisablesThePaletteAndAnotherIsRefused)
{
    for (int n = 0; n < 29; ++n)
        placePart(KindProduct);
    EXPECT_TRUE(stage.controls.partButtonsEnabled);
    placePart(KindProduct);
    EXPECT_FALSE(stage.controls.partButtonsEnabled);
    EXPECT_EQ(m.app.PartsCount, 30);
    placePart(KindProduct);
    EXPECT_EQ(m.app.PartsCount, 30);
    EXPECT_FALSE(m.part(30).isUsed());
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back(), "ブロックは30個以上配置できません");
    EXPECT_EQ(hooks.dialogs, 30) << "no dialog for a part that was not created";
}

TEST_F(StageEditorTest, DeletingTheLastLabelSelectsTheFirstPartInTwipsForm)
{
    placePart(KindButton, 600, 750);
    placePart(KindProduct, 900, 900);
    placeLabel();
    editor.deleteCurrent();
    EXPECT_EQ(m.app.SelKind, SelectionPart);
    EXPECT_EQ(m.app.CurParts, 0);
    EXPECT_EQ(editor.panel().x, "600");
    EXPECT_EQ(editor.panel().y, "750");
}

TEST_F(StageEditorTest, DeletingEverythingEmptiesThePanelButKeepsTheNumber)
{
    placePart(KindCounter);
    placeLabel();
    editor.deleteCurrent();
    editor.deleteCurrent();
    EXPECT_FALSE(stage.controls.deleteEnabled);
    EXPECT_FALSE(stage.selection.visible);
    EXPECT_EQ(m.app.CurParts, -1);
    EXPECT_EQ(editor.panel().x, "");
    EXPECT_EQ(editor.panel().y, "");
    EXPECT_EQ(editor.panel().partsName, "");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：1");
    EXPECT_EQ(editor.panel().partsCount, "パーツの数： 0個");
}

TEST_F(StageEditorTest, CancelledPropertyDialogRemovesTheNewPart)
{
    placePart(KindProduct);
    hooks.outcome = PropertyOutcome::Cancel;
    placePart(KindCoinSlot);
    EXPECT_EQ(m.app.PartsCount, 1);
    EXPECT_FALSE(m.part(1).isUsed());
    EXPECT_FALSE(stage.part(1).visible);
    EXPECT_EQ(m.app.DeleteNewParts, 0);
    EXPECT_EQ(editor.panel().partsCount, "パーツの数：1個");
}

// A page's property dialog answers after the drop has returned: until then the new part has
// its slot and is counted but shows no number; its outcome then finishes the drop as a dialog
// that waited would have.
TEST_F(StageEditorTest, PropertyDialogAnsweredLaterFinishesTheDrop)
{
    placePart(KindProduct);
    hooks.answerLater = true;
    int finished = 0;
    editor.dropOnStage(DropSource::PartButton, KindCoinSlot, 3000, 1500, [&] { ++finished; });
    const int kept = 1;
    EXPECT_EQ(m.app.PartsCount, 2);
    EXPECT_FALSE(stage.part(kept).numberShown);
    EXPECT_EQ(finished, 0);
    hooks.later(PropertyOutcome::Ok);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(stage.part(kept).numberShown);
    EXPECT_TRUE(stage.part(kept).visible);
    EXPECT_EQ(stage.part(kept).picture, m.part(kept).PictName);
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：1");
    EXPECT_EQ(editor.panel().partsCount, "パーツの数：2個");

    editor.dropOnStage(DropSource::PartButton, KindButton, 4500, 1500, [&] { ++finished; });
    const int gone = m.app.CurParts;
    m.app.DeleteNewParts = -1; // キャンセル, as the dialog's rules do
    hooks.later(PropertyOutcome::Cancel);
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(m.part(gone).isUsed());
    EXPECT_FALSE(stage.part(gone).visible);
    EXPECT_EQ(m.app.DeleteNewParts, 0);
    EXPECT_EQ(m.app.PartsCount, 2);
}

// Until the paint tool hands its drawing back (and when it is closed without one) the part
// shows the picture chosen in the dialog, the one its picture name names.
TEST_F(StageEditorTest, EditedPictureLeavesThePartThePictureChosen)
{
    hooks.outcome = PropertyOutcome::Edit;
    const int i = placePart(KindProduct);
    EXPECT_TRUE(stage.part(i).visible);
    EXPECT_EQ(stage.part(i).picture, m.part(i).PictName);
    EXPECT_GT(stage.part(i).rect.width, 0);
}

TEST_F(StageEditorTest, EditingHandlersDoNothingOutsideEditing)
{
    const int i = placePart(KindProduct, 1500, 1500);
    placeLabel();
    m.app.RunMode = ModeRunning;
    dragPart(i, 300, 300);
    EXPECT_EQ(stage.part(i).rect.left, 1500);
    editor.labelDown(1, true, 0, 0);
    EXPECT_EQ(m.app.SelKind, SelectionLabel);
    EXPECT_EQ(m.app.DragIndex, -1);
    editor.deleteCurrent();
    EXPECT_EQ(m.app.LabelCount, 1);
    editor.dropOnStage(DropSource::PartButton, KindProduct, 100, 100);
    EXPECT_EQ(m.app.PartsCount, 1);
    EXPECT_FALSE(editor.paletteButtonDown(KindProduct));
}

TEST_F(StageEditorTest, MoneyButtonOpensTheInputInsteadOfADrag)
{
    EXPECT_FALSE(editor.paletteButtonDown(KindMoneyInHand));
    EXPECT_EQ(hooks.moneyInputs, 1);
    EXPECT_TRUE(editor.paletteButtonDown(KindProduct));
}

TEST_F(StageEditorTest, DropOfSomethingElseOnlyTellsThePupil)
{
    editor.dropOnStage(DropSource::Other, 0, 100, 100);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0], "ただいま右側のボタンに移植中");
    EXPECT_EQ(m.app.PartsCount, 0);
}

TEST_F(StageEditorTest, LabelMovesWithTheMouseAndReportsTwips)
{
    const int j = placeLabel(300, 300);
    EXPECT_EQ(stage.selection.rect, (StageRect{296, 296, 608, 248}));
    editor.labelDown(j, true, 100, 100);
    editor.labelMove(j, true, 400, 250, false);
    EXPECT_FALSE(stage.labels[static_cast<std::size_t>(j)].visible);
    editor.labelUp(j, true);
    EXPECT_TRUE(stage.labels[static_cast<std::size_t>(j)].visible);
    EXPECT_EQ(m.label(j).Left, 600);
    EXPECT_EQ(m.label(j).Top, 450);
    EXPECT_EQ(editor.panel().x, "600");
}

// A double-click presses the control and then opens its modal editor, which takes the
// button-up; the stage may later send button events for that control again.
TEST_F(StageEditorTest, DeletedControlsStayDeletedAfterADoubleClickOpenedAnEditor)
{
    placePart(KindProduct, 1500, 1500);
    const int second = placePart(KindButton, 3000, 3000);
    placeLabel(300, 300);
    const int label = placeLabel(300, 900);

    editor.labelDown(label, true, 10, 10); // the double-click's second press
    editor.endDrag();                       // the label editor opens
    EXPECT_EQ(m.app.DragIndex, -1);
    EXPECT_TRUE(stage.labels[static_cast<std::size_t>(label)].visible);
    editor.deleteCurrent();
    EXPECT_EQ(m.app.CurParts, 1);

    editor.partDown(second, true, 10, 10);
    editor.partMove(second, 40, 40, false); // the block editor opens with the part in hand
    editor.endDrag();
    EXPECT_TRUE(stage.part(second).visible);
    EXPECT_EQ(stage.part(second).rect.left, 3000) << "an unfinished drag moves nothing";
    EXPECT_EQ(stage.selection.rect.left, 3000 - 4 * Twips);
    editor.deleteCurrent();

    // Stale button events for the deleted controls, as clicks on the empty stage sent them.
    for (int click = 0; click < 2; ++click) {
        editor.labelDown(label, true, 0, 0);
        editor.labelUp(label, true);
        editor.partDown(second, true, 0, 0);
        editor.partUp(second, true);
    }
    EXPECT_FALSE(stage.labels[static_cast<std::size_t>(label)].visible);
    EXPECT_FALSE(stage.part(second).visible);
    EXPECT_EQ(m.app.LabelCount, 1);
    EXPECT_EQ(m.app.PartsCount, 1);

    // Deleting again takes what is really current; the counts follow the used slots.
    m.app.SelKind = SelectionLabel;
    m.app.CurParts = static_cast<std::int16_t>(label);
    editor.deleteCurrent();
    EXPECT_EQ(m.app.LabelCount, 1) << "a deleted label is not deleted twice";
    EXPECT_EQ(findDamage(m), std::nullopt);
    const EncodeResult saved = encodeDocument(m);
    Machine reopened;
    const LoadResult loaded = decodeDocument(saved.bytes, reopened);
    EXPECT_TRUE(loaded.ok) << loaded.message;
    EXPECT_EQ(reopened.app.LabelCount, 1);
    EXPECT_EQ(reopened.app.PartsCount, 1);
}

// The panel names the part just dropped, and a part pressed during a run shows its kind,
// number and place in pixels, never bare twips.
TEST_F(StageEditorTest, ThePanelNamesTheDroppedPartAndThePartPressedDuringARun)
{
    const int product = placePart(KindProduct, 1500, 1500);
    EXPECT_EQ(editor.panel().partsName, "商品");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：" + std::to_string(product));
    const int button = placePart(KindButton, 600, 750);
    EXPECT_EQ(editor.panel().partsName, "ボタン");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：" + std::to_string(button));

    // While the dropped part's dialog is still open the panel names it beside its place, not
    // the part selected before.
    hooks.answerLater = true;
    editor.dropOnStage(DropSource::PartButton, KindCoinSlot, 3000, 1500);
    const int slot = m.app.PartsCount - 1;
    ASSERT_TRUE(m.partExists(slot));
    EXPECT_EQ(editor.panel().partsName, "投入口");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：" + std::to_string(slot));
    EXPECT_EQ(editor.panel().x, "Ｘ座標：200");
    hooks.later(PropertyOutcome::Ok);
    EXPECT_EQ(editor.panel().partsName, "投入口");
    hooks.answerLater = false;

    m.app.RunMode = ModeRunning;
    editor.partPressedDuringRun(product);
    EXPECT_EQ(editor.panel().partsName, "商品");
    EXPECT_EQ(editor.panel().partsId, "パーツ番号：" + std::to_string(product));
    EXPECT_EQ(editor.panel().x, "Ｘ座標：100");
    EXPECT_EQ(editor.panel().y, "Ｙ座標：100");
}

// A drop whose property dialog was cancelled (キャンセル, Escape or the close box) leaves the
// stage as it was before it: what was selected then is selected again and the panel shows it,
// never the part that went or another part's bare twips.
TEST(StageEditor, ACancelledDropLeavesTheSelectionAndPanelAsBefore)
{
    struct Bench : StageEditorTest {
        void TestBody() override {}
        using StageEditorTest::editor, StageEditorTest::hooks, StageEditorTest::m, StageEditorTest::stage,
            StageEditorTest::placeLabel, StageEditorTest::placePart;
    };
    const std::pair<const char *, std::function<void(Bench &)>> cases[] = {
        {"a part", [](Bench &b) { b.placePart(KindButton, 600, 750); }},
        {"a label", [](Bench &b) { b.placeLabel(); }},
        {"nothing", [](Bench &) {}},
    };
    for (const auto &[before, select] : cases) {
        SCOPED_TRACE(before);
        Bench b;
        select(b);
        const SelectionPanel panel = b.editor.panel();
        const std::int16_t current = b.m.app.CurParts;
        const std::int16_t kind = b.m.app.SelKind;
        const bool framed = b.stage.selection.visible;

        b.hooks.outcome = PropertyOutcome::Cancel;
        b.placePart(KindCoinSlot, 3000, 3000);
        ASSERT_FALSE(b.m.partExists(b.m.app.PartsCount));
        EXPECT_EQ(b.m.app.CurParts, current);
        EXPECT_EQ(b.m.app.SelKind, kind);
        EXPECT_EQ(b.stage.selection.visible, framed);
        const SelectionPanel &after = b.editor.panel();
        EXPECT_EQ(after.partsId, panel.partsId);
        EXPECT_EQ(after.partsName, panel.partsName);
        EXPECT_EQ(after.x, panel.x);
        EXPECT_EQ(after.y, panel.y);
        EXPECT_EQ(after.pictureVisible, panel.pictureVisible);
        EXPECT_EQ(after.pictureKind, panel.pictureKind);
    }
}

} // namespace
} // namespace jhk
