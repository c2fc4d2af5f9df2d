#include "FakeDialogs.h"
#include "engine/Stage.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/Creation.h"
#include "rules/LabelEditorLogic.h"
#include "rules/LevelChoice.h"
#include "rules/MainMenuRules.h"
#include "rules/PropertyDialogLogic.h"
#include "rules/QuitPrompt.h"
#include "rules/SavedState.h"
#include "rules/StageTexts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace jhk {
namespace {

Machine startedMachine(int level = 3)
{
    Machine m;
    applyStartupValues(m.app, 15, 15);
    m.app.Level = static_cast<std::uint8_t>(level);
    m.app.Step = 1;
    return m;
}

int newPart(Machine &m, int kind) { return createPart(m, kind).slot; }

// --- Part property dialog ---------------------------------------------------------------

TEST(PropertyDialogRules, NumbersAreCheckedBoxByBox)
{
    struct Case {
        const char *a, *b, *c;
        bool accepted;
        int refusedBox;
        std::int16_t wantA, wantB;
        const char *message;
    };
    const Case cases[] = {
        {"9999", "0", "0", true, -1, 9999, 0, ""},
        {" 120 ", "+7", "0", true, -1, 120, 7, ""},
        {"１５０", "－３", "0", true, -1, 150, -3, ""}, // as the Japanese input method types them
        // What is not a whole number is refused, naming the box; the boxes before it are kept.
        {"abc", "120", "0", false, 0, 0, 0, "「値段」には数値を入力して下さい"},
        {"120", "", "0", false, 1, 120, 0, "「在庫数」には数値を入力して下さい"},
        {"2.5", "1", "0", false, 0, 0, 0, "「値段」には数値を入力して下さい"},
        {"12円", "1", "0", false, 0, 0, 0, "「値段」には数値を入力して下さい"},
        // The limits: the message names the value that still holds.
        {"12", "10000", "5", false, 1, 12, 0, "９９９９以下に設定して下さい"},
        {"-32768", "-32769", "0", false, 1, -32768, 0, "－３２７６８以上に設定して下さい"},
        {"99999999999999999999", "1", "0", false, 0, 0, 0, "９９９９以下に設定して下さい"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + "|" + c.b);
        Machine m = startedMachine();
        const int slot = newPart(m, KindProduct);
        PropertyDialogLogic logic(m, Catalogue(JHK_APP_DIR), slot);
        const auto result = logic.ok({c.a, c.b, c.c});
        EXPECT_EQ(result.accepted, c.accepted);
        EXPECT_EQ(result.refusedBox, c.refusedBox);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(m.part(slot).A(), c.wantA);
        EXPECT_EQ(m.part(slot).B(), c.wantB);
    }
}

TEST(PropertyDialogRules, PictureFollowsTheScrollBarPerKind)
{
    Machine m = startedMachine();
    const int product = newPart(m, KindProduct);
    PropertyDialogLogic logic(m, Catalogue(JHK_APP_DIR), product);
    EXPECT_EQ(logic.picture(), "dummy");
    EXPECT_EQ(m.part(product).PictName, "dummy");
    EXPECT_EQ(logic.scrollMaximum(), 4);
    logic.scrollTo(3);
    EXPECT_EQ(m.part(product).PictName, "\\bg\\kan_4.bmp");
    EXPECT_FALSE(logic.editShown());
    logic.scrollTo(4);
    EXPECT_EQ(m.part(product).PictName, "\\bg\\kan_5.bmp");
    EXPECT_TRUE(logic.editShown());
    logic.scrollTo(0);
    EXPECT_EQ(logic.picture(), "\\bg\\kan_1.bmp") << "back at 0 the first file, not the built-in picture";

    const int slot = newPart(m, KindCoinSlot);
    PropertyDialogLogic coin(m, Catalogue(JHK_APP_DIR), slot);
    EXPECT_EQ(coin.scrollMaximum(), 2);
    coin.scrollTo(2);
    EXPECT_EQ(coin.picture(), "\\bg\\tonyu_3.bmp");
    EXPECT_TRUE(coin.editShown());

    const int counter = newPart(m, KindCounter);
    PropertyDialogLogic display(m, Catalogue(JHK_APP_DIR), counter);
    display.scrollTo(2);
    EXPECT_EQ(display.picture(), "dummy");
    EXPECT_EQ(m.part(counter).PictName, "dummy");
    EXPECT_FALSE(display.editShown());
}

// "プロパティの変更..." on a part on the stage: the dialog starts from what the part shows.
TEST(PropertyDialogRules, APartOnTheStageKeepsItsPictureUntilAnotherIsPicked)
{
    Machine m = startedMachine();
    const int product = newPart(m, KindProduct);
    m.part(product).PictName = "\\bg\\kan_5.bmp";
    PropertyDialogLogic painted(m, Catalogue(JHK_APP_DIR), product, "painted:0");
    EXPECT_EQ(painted.picture(), "painted:0");
    EXPECT_EQ(painted.scrollValue(), 4) << "its own picture is in the last column";
    EXPECT_TRUE(painted.editShown());
    EXPECT_FALSE(painted.pictureChanged());
    EXPECT_EQ(m.part(product).PictName, "\\bg\\kan_5.bmp");
    painted.scrollTo(1);
    EXPECT_EQ(painted.picture(), "\\bg\\kan_2.bmp");
    EXPECT_TRUE(painted.pictureChanged());
    painted.scrollTo(4);
    EXPECT_EQ(painted.picture(), "painted:0");
    EXPECT_EQ(m.part(product).PictName, "\\bg\\kan_5.bmp");
    EXPECT_FALSE(painted.pictureChanged());

    m.part(product).PictName = "\\bg\\kan_3.bmp";
    PropertyDialogLogic file(m, Catalogue(JHK_APP_DIR), product, "\\bg\\kan_3.bmp");
    EXPECT_EQ(file.scrollValue(), 2);
    EXPECT_FALSE(file.editShown());
    EXPECT_EQ(m.part(product).PictName, "\\bg\\kan_3.bmp");

    const int counter = newPart(m, KindCounter);
    PropertyDialogLogic display(m, Catalogue(JHK_APP_DIR), counter, "dummy");
    EXPECT_EQ(display.scrollValue(), 0);
    EXPECT_EQ(display.picture(), "dummy");
}

// Only a variable the kind has takes typing; the boxes of "（使いません）" show their value and
// keep it, even one out of range a pupil could not mend there.
TEST(PropertyDialogRules, OnlyTheVariablesAKindHasAreEditable)
{
    struct Case {
        int kind;
        std::array<bool, 3> editable;
    };
    const Case cases[] = {
        {KindProduct, {true, true, false}},        {KindButton, {false, false, false}},
        {KindCoinSlot, {false, false, false}},     {KindCounter, {true, false, false}},
        {KindChangeOutlet, {false, false, false}}, {KindProductOutlet, {false, false, false}},
        {KindLever, {false, false, false}},
    };
    const Catalogue catalogue(JHK_APP_DIR);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        Machine m = startedMachine();
        const int slot = newPart(m, c.kind);
        m.part(slot).Hensuu[3] = 12000;
        PropertyDialogLogic logic(m, catalogue, slot);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(logic.boxEditable(i), c.editable[static_cast<std::size_t>(i)]) << "box " << i;
        std::array<std::string, 3> texts;
        for (int i = 0; i < 3; ++i)
            texts[static_cast<std::size_t>(i)] = logic.initialText(i);
        const auto result = logic.ok(texts);
        EXPECT_TRUE(result.accepted) << result.message;
        EXPECT_EQ(m.part(slot).Hensuu[3], 12000);
    }
}

TEST(PropertyDialogRules, ButtonLampsAreFixedAndCatalogueNamesTheVariables)
{
    Machine m = startedMachine();
    const int button = newPart(m, KindButton);
    const Catalogue catalogue(JHK_APP_DIR);
    PropertyDialogLogic logic(m, catalogue, button);
    EXPECT_TRUE(logic.lampBox(0));
    EXPECT_TRUE(logic.lampBox(1));
    EXPECT_FALSE(logic.lampBox(2));
    EXPECT_EQ(logic.kindName(), catalogue.kindName(KindButton));
    EXPECT_EQ(logic.variableLabel(0), catalogue.variableLabel(KindButton, "A"));
    EXPECT_EQ(logic.variableShown(2), !catalogue.variableLabel(KindButton, "C").empty());

    logic.cancel();
    EXPECT_EQ(m.app.DeleteNewParts, -1);
}

// --- Label editor -------------------------------------------------------------------------

class LabelEditorRules : public ::testing::Test {
protected:
    LabelEditorRules()
    {
        m.app.LabelCount = 1;
        createLabel(m, 1, 600, 240);
        control.caption = m.label(1).Caption;
        control.fontSize = 12;
    }
    Machine m = startedMachine();
    LabelControl control;
    std::string font = "IPAGothic";
};

TEST_F(LabelEditorRules, ColourStripsChooseByCell)
{
    LabelEditorLogic logic(m.app, m.label(1), control, font);
    EXPECT_EQ(logic.foreIndex, 8);
    EXPECT_EQ(logic.backIndex, 7);
    const auto fore = logic.stripArea(0);
    const auto back = logic.stripArea(1);
    EXPECT_TRUE(logic.chooseColour(fore.left, fore.top));
    EXPECT_EQ(logic.foreIndex, 0);
    EXPECT_TRUE(logic.chooseColour(back.left + back.width - 2, back.top + 5));
    EXPECT_EQ(logic.backIndex, 8);
    EXPECT_TRUE(logic.chooseColour(back.left + 4 * 240 + 10, back.top + 5));
    EXPECT_EQ(logic.backIndex, 4);
    EXPECT_FALSE(logic.chooseColour(fore.left - 1, fore.top)) << "outside both strips nothing changes";
    EXPECT_FALSE(logic.chooseColour(fore.left + fore.width - 1, fore.top));
    EXPECT_EQ(logic.foreIndex, 0);

    std::string newFont;
    logic.apply(m.label(1), control, newFont);
    EXPECT_EQ(m.label(1).ForeColor, 0);
    EXPECT_EQ(control.foreColor, 0xFFFFFF);
    EXPECT_EQ(m.label(1).BackColor, 4);
}

TEST_F(LabelEditorRules, OkWritesTextStylesSizeAndTransparency)
{
    LabelEditorLogic logic(m.app, m.label(1), control, font);
    logic.caption = "いらっしゃいませ";
    logic.fontSizeText = "30";
    logic.bold = true;
    logic.italic = true;
    logic.transparent = true;
    std::string newFont;
    logic.apply(m.label(1), control, newFont);
    EXPECT_EQ(m.label(1).Caption, "いらっしゃいませ");
    EXPECT_EQ(control.caption, "いらっしゃいませ");
    EXPECT_EQ(control.fontSize, 30) << "a size outside the list is applied";
    EXPECT_EQ(m.label(1).FontBold, -1);
    EXPECT_EQ(m.label(1).FontItalic, -1);
    EXPECT_EQ(m.label(1).Transparent, 1);
    EXPECT_TRUE(control.transparent);
    EXPECT_EQ(m.label(1).BackColor, 7) << "the background colour is kept under a transparent label";
    EXPECT_EQ(newFont, "IPAGothic");
}

TEST_F(LabelEditorRules, SizeThatIsNotANumberIsIgnored)
{
    for (const char *text : {"abc", "", "12pt", "0", "-4"}) {
        LabelEditorLogic logic(m.app, m.label(1), control, font);
        logic.fontSizeText = text;
        std::string newFont;
        logic.apply(m.label(1), control, newFont);
        EXPECT_EQ(control.fontSize, 12) << text;
    }
}

TEST(LabelEditorSizes, ListRunsFromEightToTwentyThenLarger)
{
    const auto sizes = LabelEditorLogic::fontSizes();
    ASSERT_EQ(sizes.size(), 16u);
    EXPECT_EQ(sizes.front(), "8");
    EXPECT_EQ(sizes[12], "20");
    EXPECT_EQ(sizes.back(), "48");
}

// --- Start window, settings, menus, quitting ---------------------------------------------

TEST(StartChoiceRules, LevelAndBackgroundSetTheStart)
{
    Machine m = startedMachine(0);
    StartChoice{}.apply(m.app);
    EXPECT_EQ(m.app.Level, 1);
    EXPECT_EQ(m.app.Step, 1);
    EXPECT_EQ(m.app.BackPictName, "\\BG\\BG0.BMP");
    StartChoice{3, 4}.apply(m.app);
    EXPECT_EQ(m.app.Level, 3);
    EXPECT_EQ(m.app.BackPictName, "\\BG\\BG4.bmp");
}

TEST(LevelRaiseRules, OnlyAHigherLevelAfterYes)
{
    struct Case {
        int level, chosen;
        std::optional<Answer> answer; // nothing: no question is asked
        int after;
    };
    const Case cases[] = {
        {2, 3, Answer::Yes, 3}, {2, 3, Answer::No, 2}, {2, 2, std::nullopt, 2}, {1, 1, std::nullopt, 1},
        {3, 3, std::nullopt, 3}, {1, 2, Answer::Yes, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.level) + "->" + std::to_string(c.chosen));
        Machine m = startedMachine(c.level);
        test::FakeDialogs dialogs;
        if (c.answer)
            dialogs.answers.push_back(*c.answer);
        int raised = 0;
        raiseLevel(m.app, c.chosen, dialogs, [&] { ++raised; });
        EXPECT_EQ(m.app.Level, c.after);
        EXPECT_EQ(raised, c.after != c.level ? 1 : 0);
        std::vector<std::string> expected;
        if (c.answer)
            expected.emplace_back(LevelChangeQuestion);
        if (c.after != c.level)
            expected.push_back(levelChangedMessage(c.after));
        EXPECT_EQ(dialogs.shown, expected);
    }
    EXPECT_FALSE(levelOptionEnabled(2, 1));
    EXPECT_TRUE(levelOptionEnabled(2, 3));
}

TEST(FileMenuRules, PrintOnlyWhileEditingSaveOnlyWithSomethingOnTheStage)
{
    Machine m = startedMachine();
    FileMenuState s = fileMenuOnOpen(m.app, {});
    EXPECT_TRUE(s.print);
    EXPECT_FALSE(s.save);
    m.app.LabelCount = 1;
    EXPECT_TRUE(fileMenuOnOpen(m.app, s).save);
    m.app.RunMode = ModeRunning;
    s = fileMenuOnOpen(m.app, {true, false, true});
    EXPECT_FALSE(s.print);
    EXPECT_FALSE(s.save) << "a run keeps what the run buttons set";
    m.app.RunMode = ModeEditing;
    EXPECT_TRUE(fileMenuOnOpen(m.app, s).print);
}

class RecordingQuit : public QuitActions {
public:
    bool saveSucceeds = true;
    std::vector<std::string> calls;
    int *runMode = nullptr;
    void handOverPaintDrawing() override { calls.emplace_back("drawing"); }
    void closePaintTool() override { calls.emplace_back("close-paint"); }
    void stopRun() override
    {
        calls.emplace_back("stop");
        *runMode = ModeEditing;
    }
    void saveWithDialog(std::function<void(bool)> saved) override
    {
        calls.emplace_back(*runMode == ModeEditing ? "save" : "save-while-running");
        saved(saveSucceeds);
    }
};

TEST(QuitRules, AnswersDecideWhetherTheProgramEnds)
{
    struct Case {
        const char *what;
        int parts;
        int labels;
        int runMode;
        Answer answer;
        bool saveSucceeds;
        bool quits;
        std::vector<std::string> calls;
        const char *question;
    };
    const Case cases[] = {
        {"empty stage, OK", 0, 0, 0, Answer::Ok, true, true, {"close-paint"}, "ジハンコウボウを終了しますか？"},
        {"empty stage, Cancel", 0, 0, 0, Answer::Cancel, true, false, {}, "ジハンコウボウを終了しますか？"},
        {"labels only are offered a save", 0, 3, 0, Answer::Yes, true, true, {"drawing", "save", "close-paint"},
         "ジハンコウボウを終了します\r\n保存しますか？"},
        {"No ends without saving", 2, 3, 0, Answer::No, true, true, {"close-paint"},
         "ジハンコウボウを終了します\r\n保存しますか？"},
        {"Cancel stays and keeps the paint tool", 2, 3, 0, Answer::Cancel, true, false, {},
         "ジハンコウボウを終了します\r\n保存しますか？"},
        {"Yes saves the drawing too and ends", 2, 3, 0, Answer::Yes, true, true, {"drawing", "save", "close-paint"},
         "ジハンコウボウを終了します\r\n保存しますか？"},
        {"Yes with a cancelled or failed save stays", 2, 3, 0, Answer::Yes, false, false, {"drawing", "save"},
         "ジハンコウボウを終了します\r\n保存しますか？"},
        {"Yes during a run stops it first", 2, 0, 1, Answer::Yes, true, true,
         {"stop", "drawing", "save", "close-paint"}, "ジハンコウボウを終了します\r\n保存しますか？"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Machine m = startedMachine();
        m.app.PartsCount = static_cast<std::int16_t>(c.parts);
        m.app.LabelCount = static_cast<std::int16_t>(c.labels);
        m.app.RunMode = static_cast<std::int16_t>(c.runMode);
        test::FakeDialogs dialogs;
        dialogs.answers.push_back(c.answer);
        RecordingQuit actions;
        actions.saveSucceeds = c.saveSucceeds;
        int mode = c.runMode;
        actions.runMode = &mode;
        std::optional<bool> quits;
        confirmQuit(m.app, dialogs, actions, [&](bool quit) { quits = quit; });
        EXPECT_EQ(quits, c.quits);
        EXPECT_EQ(actions.calls, c.calls);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0], c.question);
    }
}

TEST(SavedStateRules, TellsChangedMachinesFromSavedOnes)
{
    Machine m = startedMachine();
    SavedState saved(m);
    EXPECT_FALSE(saved.hasUnsavedChanges(m));
    const int slot = newPart(m, KindProduct);
    EXPECT_TRUE(saved.hasUnsavedChanges(m));
    saved.markSaved(m);
    m.part(slot).Width = 34; // a save turns the size into pixels
    EXPECT_FALSE(saved.hasUnsavedChanges(m));
    m.part(slot).Left += 15;
    EXPECT_TRUE(saved.hasUnsavedChanges(m));
    saved.markSaved(m);
    m.part(slot).Used = 0;
    m.part(slot).Left += 15; // what a deleted part leaves behind does not count, its deletion does
    EXPECT_TRUE(saved.hasUnsavedChanges(m));
}

// --- Texts --------------------------------------------------------------------------------

TEST(StageTexts, StepExplanationsAndLevelTexts)
{
    auto lines = [](const std::string &s) { return std::count(s.begin(), s.end(), '\n') + 1; };
    EXPECT_EQ(lines(stepExplanation(1)), 2);
    EXPECT_EQ(lines(stepExplanation(2)), 4);
    EXPECT_EQ(lines(stepExplanation(3)), 7);
    EXPECT_EQ(stepExplanation(1).rfind("\u3000\u3000ボタンを押すと、商品が排出口にでてくる"),
              stepExplanation(1).find('\n') + 1);
    EXPECT_NE(stepExplanation(2).find("排出口、" + std::string(35, ' ') + "カウンター、投入口 \n"), std::string::npos);
    EXPECT_NE(stepExplanation(3).find("排出口、" + std::string(9, ' ') + "カウンター、投入口、釣銭レバー、釣先口 \n"),
              std::string::npos);
    EXPECT_EQ(startWindowLevelText(2), "パーツ、ブロックを自由に選択し、設定する事ができます");
    EXPECT_EQ(optionWindowLevelText(2), "パーツ、ブロックを自由に選択し、設定する事ができます。");
    EXPECT_EQ(levelDescription(3), "パーツ・ブロックを自由に選択し、設定する事ができます。");
    EXPECT_EQ(levelCaption(2), "レベル2");
}

} // namespace
} // namespace jhk
