// The page layouts of the printout and the worksheet without any face: text measured by a
// made-up font whose every character is as wide as its size (half that for ASCII).
#include "engine/Stage.h"
#include "model/AppState.h"
#include "model/Catalogue.h"
#include "rules/MachinePrintLayout.h"
#include "rules/WorksheetPages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace jhk {
namespace {

class BlockFont : public PaperMeasure {
public:
    double advance(std::string_view text, const PaperFont &font) const override
    {
        double w = 0;
        for (std::size_t i = 0; i < text.size(); i += utf8Length(text[i]))
            w += static_cast<unsigned char>(text[i]) < 0x80 ? font.pixels / 2.0 : font.pixels;
        return w;
    }
    Metrics metrics(const PaperFont &font) const override { return {font.pixels * 0.8, double(font.pixels)}; }
    Ink ink(std::string_view text, const PaperFont &font) const override { return {0, advance(text, font)}; }
};

std::vector<const PaperItem *> texts(const std::vector<PaperItem> &items)
{
    std::vector<const PaperItem *> out;
    for (const PaperItem &i : items)
        if (i.kind == PaperItem::Kind::Text)
            out.push_back(&i);
    return out;
}

struct TwoParts {
    Machine m;
    Stage stage;
    TwoParts()
    {
        applyStartupValues(m.app, 15, 15);
        m.app.Level = 2;
        m.app.MoneyInHand = 350;
        m.app.BackPictName = "\\BG\\BG0.BMP";
        for (const int slot : {0, 4}) {
            m.part(slot).Used = -1;
            m.part(slot).Kind = KindProduct;
            stage.part(slot).rect = {300 * (slot + 1), 600, 600, 450};
            stage.part(slot).picture = "dummy";
        }
        m.app.PartsCount = 2;
    }
};

// At 1440 dpi a device pixel is a twip: positions read as the stage's twips.
TEST(MachinePrintLayout, NumbersOnThePartsCornersThenTheHeaderInTheWeightTheyLeft)
{
    const BlockFont font;
    TwoParts t;
    for (const bool numbers : {true, false}) {
        SCOPED_TRACE(numbers ? "numbers" : "no numbers");
        const std::vector<PaperItem> items
            = layoutMachinePrint({t.m, t.stage, {}, "", numbers}, 1440, 1440, 12000, font);
        const auto text = texts(items);
        std::vector<std::string> words;
        for (const PaperItem *i : text)
            words.push_back(i->text);
        std::vector<std::string> expected{PrintTitle, std::string(PrintLevelPrefix) + "2",
                                          std::string(PrintPartsCountPrefix) + "2", std::string(PrintMoneyPrefix) + "350"};
        if (numbers)
            expected.insert(expected.begin(), {"No.0", "No.4"});
        EXPECT_EQ(words, expected);
        if (numbers) {
            EXPECT_EQ(text[1]->rect.x, 1500);
            EXPECT_EQ(text[1]->rect.y, 600);
            EXPECT_TRUE(text[1]->opaque && text[1]->font.bold);
            EXPECT_EQ(text[1]->font.pixels, 180); // 12 pixels of 15 twips: 9 points
        }
        // The header: bold only after the numbers, each line below the one before.
        for (std::size_t i = text.size() - 4; i < text.size(); ++i) {
            EXPECT_EQ(text[i]->font.bold, numbers);
            if (i > text.size() - 4)
                EXPECT_GT(text[i]->rect.y, text[i - 1]->rect.y);
        }
        const auto pictures = std::count_if(items.begin(), items.end(),
                                            [](const PaperItem &i) { return i.kind == PaperItem::Kind::Picture; });
        EXPECT_EQ(pictures, 3); // the background and two parts
    }
    t.m.app.RunMode = ModeRunning;
    EXPECT_TRUE(layoutMachinePrint({t.m, t.stage}, 1440, 1440, 12000, font).empty());
}

TEST(MachinePrintLayout, AFileNameInTheHeaderShrinksThenWrapsWithinThePageAndIsKeptWhole)
{
    const BlockFont font;
    TwoParts t;
    const std::string note = std::string(60, 'x') + "のマシン.jhk";
    const double pageWidth = 12000;
    const std::vector<PaperItem> items = layoutMachinePrint({t.m, t.stage, {}, note, true}, 1440, 1440, pageWidth, font);
    const auto text = texts(items);
    std::string printed;
    int lines = 0;
    for (const PaperItem *i : text)
        if (i->text.find("x") != std::string::npos || i->text.find("マシン") != std::string::npos) {
            printed += i->text;
            ++lines;
            EXPECT_LE(i->rect.right(), pageWidth);
            EXPECT_EQ(i->font.pixels, 240 * 2 / 3); // the header's 12 points, down to two thirds
        }
    EXPECT_EQ(printed, "  " + note);
    EXPECT_GT(lines, 1);
}

TEST(WorksheetPages, APartWithoutAProgramOrAMachineWithoutAnyIsRefusedAndOnePartGetsItsOwnPages)
{
    const BlockFont font;
    const Catalogue catalogue(JHK_APP_DIR);
    TwoParts t;
    EXPECT_EQ(layoutWorksheet(t.m, catalogue, OperandStyle::Filled, "", font).refusal, WorksheetNoPrograms);
    BlockRecord &b = t.m.part(4).Blocks[0];
    b.Used = -1;
    b.Kind = BlockDischarge;
    b.NextBlock = LinkEnd;
    t.m.part(4).BlockCount = 1;
    t.m.part(4).FirstBlock = 0;
    EXPECT_EQ(layoutWorksheet(t.m, catalogue, OperandStyle::Filled, "", font, 0).refusal, WorksheetPartWithoutProgram);
    const WorksheetPages sheet = layoutWorksheet(t.m, catalogue, OperandStyle::Blank, "shop.jhk", font, 4);
    ASSERT_EQ(sheet.pages.size(), 1u);
    EXPECT_TRUE(sheet.refusal.empty());
    EXPECT_EQ(sheet.pages[0].width, 793); // A4 at 96 dpi, as printers take it
    EXPECT_EQ(sheet.pages[0].height, 1123);
    std::string all;
    for (const PaperItem *i : texts(sheet.pages[0].items)) {
        all += i->text + "|";
        EXPECT_GE(i->at.x, 0);
        EXPECT_LE(i->at.x + font.advance(i->text, i->font), sheet.pages[0].width);
    }
    for (const char *words : {"パーツ番号 4", "shop.jhk", "開始", "終了", "商品排出", "（"})
        EXPECT_NE(all.find(words), std::string::npos) << words << " in " << all;
}

} // namespace
} // namespace jhk
