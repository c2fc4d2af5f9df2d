#include "document/UndoHistory.h"

#include "Machines.h"
#include "model/Creation.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace jhk {
namespace {

using testing::encoded;
using testing::startupMachine;

struct Edit {
    const char *what;
    std::function<void(Machine &)> apply;
};

void placePart(Machine &m, int kind, float x, float y)
{
    m.app.DropX = x;
    m.app.DropY = y;
    createPart(m, kind);
}

void deletePart(Machine &m, int slot)
{
    m.part(slot).Used = 0;
    --m.app.PartsCount;
}

// The edits the stage and the block editor make, each as it leaves the tables.
const std::vector<Edit> &edits()
{
    static const std::vector<Edit> table = {
        {"place a product", [](Machine &m) { placePart(m, KindProduct, 300, 600); }},
        {"place a button", [](Machine &m) { placePart(m, KindButton, 900, 600); }},
        {"give the button a program",
         [](Machine &m) {
             PartsRecord &p = m.part(1);
             BlockRecord &b = p.Blocks[0];
             b.Used = -1;
             b.Kind = 20;
             b.Caption = "商品排出";
             b.Param[0] = ParamValue(0);
             b.NextBlock = LinkEnd;
             p.FirstBlock = 0;
             p.BlockCount = 1;
         }},
        {"move the product", [](Machine &m) { m.part(0).Left = 1500, m.part(0).Top = 30; }},
        {"change the product's price and stock", [](Machine &m) { m.part(0).Hensuu = {0, 120, 5, 0}; }},
        {"paint a picture name", [](Machine &m) { m.part(0).PictName = "\\bg\\kan_5.bmp"; }},
        {"place a label",
         [](Machine &m) {
             ++m.app.LabelCount;
             createLabel(m, 1, 600, 240);
         }},
        {"edit the label", [](Machine &m) { m.label(1).Caption = "つめた～い", m.label(1).ForeColor = 3; }},
        {"a label the document cannot hold", [](Machine &m) { m.label(1).Caption = "ジュース🍹"; }},
        {"change the money in hand", [](Machine &m) { m.app.MoneyInHand = 500; }},
        {"delete the button with its program", [](Machine &m) { deletePart(m, 1); }},
        {"delete the label",
         [](Machine &m) {
             m.label(1).Used = 0;
             --m.app.LabelCount;
         }},
        {"place a part into the freed slot", [](Machine &m) { placePart(m, KindCoinSlot, 200, 200); }},
    };
    return table;
}

// What the machine holds, compared as the document writer would write it; a machine whose
// label the document cannot hold is compared by its label instead.
std::vector<std::uint8_t> written(const Machine &m)
{
    std::vector<std::uint8_t> bytes = encoded(m);
    if (bytes.empty()) {
        Machine copy = m;
        for (LabelRecord &l : copy.labels)
            l.Caption = "(" + std::to_string(l.Caption.size()) + ")" + std::to_string(std::hash<std::string>{}(l.Caption));
        bytes = encoded(copy);
    }
    return bytes;
}

TEST(UndoHistory, UndoesAndRedoesEveryEditByteForByte)
{
    auto m = startupMachine();
    UndoHistory history;
    history.reset(*m);
    std::vector<std::vector<std::uint8_t>> states{written(*m)};
    for (const Edit &e : edits()) {
        e.apply(*m);
        EXPECT_TRUE(history.checkpoint(*m)) << e.what;
        states.push_back(written(*m));
    }
    ASSERT_EQ(history.undoSteps(), edits().size());

    for (std::size_t i = edits().size(); i-- > 0;) {
        ASSERT_TRUE(history.undo(*m)) << edits()[i].what;
        EXPECT_EQ(written(*m), states[i]) << "undo " << edits()[i].what;
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo(*m));
    EXPECT_EQ(written(*m), states.front());

    for (std::size_t i = 0; i < edits().size(); ++i) {
        ASSERT_TRUE(history.redo(*m)) << edits()[i].what;
        EXPECT_EQ(written(*m), states[i + 1]) << "redo " << edits()[i].what;
    }
    EXPECT_FALSE(history.redo(*m));
}

TEST(UndoHistory, UndoingADeletionBringsBackTheSameSlotAndProgram)
{
    auto m = startupMachine();
    UndoHistory history;
    history.reset(*m);
    for (int e = 0; e < 3; ++e) {
        edits()[static_cast<std::size_t>(e)].apply(*m);
        history.checkpoint(*m);
    }
    const PartsRecord before = m->part(1);
    deletePart(*m, 1);
    history.checkpoint(*m);
    placePart(*m, KindLever, 50, 50); // takes slot 1 again; not reported yet
    ASSERT_TRUE(history.undo(*m));          // takes back the unreported edit first
    EXPECT_FALSE(m->partExists(1));
    ASSERT_TRUE(history.undo(*m));
    EXPECT_EQ(m->part(1), before);
    EXPECT_EQ(m->app.PartsCount, 2);
    EXPECT_EQ(m->app.RunMode, ModeEditing);
}

TEST(UndoHistory, OnlyChangesMakeSteps)
{
    auto m = startupMachine();
    UndoHistory history;
    history.reset(*m, {"fonts:", nullptr});
    EXPECT_FALSE(history.checkpoint(*m, {"fonts:", nullptr})) << "nothing changed";
    m->app.DragIndex = 4;
    EXPECT_FALSE(history.checkpoint(*m, {"fonts:", nullptr})) << "not part of the machine's document";
    m->app.CurParts = 3;
    EXPECT_FALSE(history.checkpoint(*m, {"fonts:", nullptr})) << "selecting is no edit";

    // The window's own data alone makes a step, and comes back with the state it belongs to.
    const auto serif = std::make_shared<const std::string>("Serif");
    EXPECT_TRUE(history.checkpoint(*m, {"fonts:Serif", serif}));
    const std::optional<UndoExtra> back = history.undo(*m, {"fonts:Serif", serif});
    ASSERT_TRUE(back);
    EXPECT_EQ(back->key, "fonts:");
    const std::optional<UndoExtra> again = history.redo(*m, *back);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->data, serif);
}

TEST(UndoHistory, ANewEditDropsRedoAndRebaseOrResetMakeNoStep)
{
    auto m = startupMachine();
    UndoHistory history;
    history.reset(*m);
    placePart(*m, KindProduct, 0, 0);
    history.checkpoint(*m);
    placePart(*m, KindProduct, 500, 0);
    history.checkpoint(*m);
    ASSERT_TRUE(history.undo(*m));
    EXPECT_TRUE(history.canRedo());
    m->app.MoneyInHand = 100;
    history.checkpoint(*m);
    EXPECT_FALSE(history.canRedo());

    // A run turns the sizes into pixels: not an edit of the pupil's.
    m->part(0).Width = 34;
    history.rebase(*m);
    EXPECT_FALSE(history.checkpoint(*m));
    EXPECT_EQ(history.undoSteps(), 2u);

    history.reset(*m);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

TEST(UndoHistory, KeepsTheNewestStepsUpToItsDepth)
{
    auto m = startupMachine();
    UndoHistory history;
    ASSERT_GE(history.depth(), 50u);
    history.reset(*m);
    const int edits = static_cast<int>(history.depth()) + 10;
    for (int i = 1; i <= edits; ++i) {
        m->app.MoneyInHand = static_cast<std::int16_t>(i);
        history.checkpoint(*m);
    }
    EXPECT_EQ(history.undoSteps(), history.depth());
    while (history.undo(*m)) {
    }
    EXPECT_EQ(m->app.MoneyInHand, 10);
}

} // namespace
} // namespace jhk
