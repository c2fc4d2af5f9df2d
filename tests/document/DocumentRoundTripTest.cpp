#include "Machines.h"

#include "model/Creation.h"
#include "model/Level1Programs.h"

#include <gtest/gtest.h>

namespace jhk {
namespace {

using testing::encoded;
using testing::fullMachine;
using testing::sameDocumentContent;
using testing::startupMachine;

// Reads the bytes into a machine that held something else before.
std::unique_ptr<Machine> readBack(const std::vector<std::uint8_t> &bytes)
{
    auto other = fullMachine();
    other->app.Level = 1;
    const LoadResult r = decodeDocument(bytes, *other);
    EXPECT_TRUE(r.ok) << r.message;
    return other;
}

TEST(DocumentRoundTrip, SavingWhatWasReadGivesTheSameBytes)
{
    for (const auto &m : {startupMachine(), fullMachine()}) {
        const std::vector<std::uint8_t> first = encoded(*m);
        ASSERT_FALSE(first.empty());
        const auto back = readBack(first);
        EXPECT_TRUE(sameDocumentContent(*m, *back));
        EXPECT_EQ(encoded(*back), first);
    }
}

TEST(DocumentRoundTrip, ParametersKeepTheirKindAndTextsTheirCharacters)
{
    const auto m = fullMachine();
    const auto back = readBack(encoded(*m));
    const BlockRecord &b = back->part(29).Blocks[11];
    EXPECT_TRUE(b.Param[0].isEmpty());
    EXPECT_TRUE(b.Param[1].isInt());
    EXPECT_EQ(b.Param[1].intValue(), 29);
    EXPECT_TRUE(b.Param[2].isText("A"));
    EXPECT_TRUE(b.Param[4].isUnset());
    EXPECT_TRUE(b.Param[5].isText("ｺｰﾗ～１２０円"));
    EXPECT_EQ(b.Complete, -1);
    EXPECT_EQ(back->label(10).Caption, "ラベル10　おいしい水 ￥120 ∥ ①髙");
    EXPECT_EQ(back->app.MoneySetting, -32768);
    EXPECT_EQ(back->app.WalletSaved[0], 32767);
}

TEST(DocumentRoundTrip, ValuesOutsideTheDocumentAreKept)
{
    auto m = fullMachine();
    m->part(3).LeverDown = -1;
    m->app.Step = 3;
    m->app.MoneyInHand = 5;
    m->app.TwipsX = 12;
    const auto saved = startupMachine();
    ASSERT_TRUE(decodeDocument(encoded(*saved), *m).ok);
    EXPECT_EQ(m->part(3).LeverDown, -1);
    EXPECT_EQ(m->app.Step, 3);
    EXPECT_EQ(m->app.TwipsX, 12);
    EXPECT_EQ(m->app.MoneyInHand, 9990);
    EXPECT_EQ(m->app.Level, 3);
}

// A machine built the way a pupil builds one: parts placed, one deleted, the exercise step
// switched, labels placed and one removed. Its leftovers in free slots must not make the
// program refuse its own file.
TEST(DocumentRoundTrip, TheProgramsOwnMachinesAreAccepted)
{
    auto m = startupMachine();
    m->app.Level = 1;
    m->app.Step = 1;
    for (int kind : {KindButton, KindCoinSlot, KindLever, KindProduct, KindCounter, KindButton})
        ASSERT_GE(createPart(*m, kind).slot, 0);
    resetPartSlot(m->part(1), 1); // the coin slot is deleted; its slot keeps old values
    m->app.PartsCount = 5;
    switchExerciseStep(*m, 3);
    switchExerciseStep(*m, 2);
    for (int j = 1; j <= 3; ++j) {
        m->app.LabelCount = static_cast<std::int16_t>(j);
        createLabel(*m, j, 900, 240);
    }
    resetLabelSlot(m->label(2));
    m->app.LabelCount = 2;

    const std::vector<std::uint8_t> bytes = encoded(*m);
    const auto back = readBack(bytes);
    EXPECT_TRUE(sameDocumentContent(*m, *back));
}

} // namespace
} // namespace jhk
