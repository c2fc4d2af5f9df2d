#include "EngineRig.h"

#include "document/JhkDocument.h"
#include "model/Level1Programs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace jhk;
using namespace jhk::testing;

namespace fs = std::filesystem;

namespace {

std::string bmpHeader(std::int32_t w, std::int32_t h)
{
    std::string b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(w));
    put32(22, static_cast<std::uint32_t>(h));
    return b;
}

struct TempDir {
    fs::path path;
    TempDir()
    {
        path = fs::temp_directory_path() / ("jhk-engine-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                                            + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path / "bg");
    }
    ~TempDir() { fs::remove_all(path); }
    void write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
};

} // namespace

TEST(PictureSizes, ReadsTheHeadersOfPictureFiles)
{
    struct Case {
        const char *what;
        std::string bytes;
        std::optional<PixelSize> size;
    };
    std::string png = "\x89PNG\r\n\x1a\n";
    png += std::string("\0\0\0\x0DIHDR\0\0\0\x2A\0\0\0\x07", 16);
    const std::string gif = std::string("GIF89a\x21\x00\x13\x00", 10);
    const std::string jpeg = std::string("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xC0\x00\x0B\x08\x00\x13\x00\x2B\x01\x01\x11\x00", 21);
    const Case cases[] = {
        {"bmp", bmpHeader(43, 19), PixelSize{43, 19}},
        {"top-down bmp", bmpHeader(30, -30), PixelSize{30, 30}},
        {"png", png, PixelSize{42, 7}},
        {"gif", gif, PixelSize{33, 19}},
        {"jpeg", jpeg, PixelSize{43, 19}},
        {"empty bmp", bmpHeader(0, 10), std::nullopt},
        {"cut short", "BM\x10", std::nullopt},
        {"text", "hello, world", std::nullopt},
    };
    for (const Case &c : cases) {
        const auto got = FilePictureSizes::sizeFromHeader(c.bytes);
        ASSERT_EQ(got.has_value(), c.size.has_value()) << c.what;
        if (got) {
            EXPECT_EQ(got->width, c.size->width) << c.what;
            EXPECT_EQ(got->height, c.size->height) << c.what;
        }
    }
}

TEST(PictureSizes, PartsTakeTheSizeOfTheirPictureOrTheBuiltInOne)
{
    TempDir dir;
    dir.write("bg/Kan_1.BMP", bmpHeader(50, 80));
    dir.write("bg/broken.bmp", "BM");
    const FilePictureSizes sizes(dir.path.string());
    struct Case {
        int kind;
        const char *picture;
        int w, h;
    };
    const Case cases[] = {
        {KindProduct, "\\bg\\kan_1.bmp", 50, 80},  // names match without regard to case
        {KindProduct, "dummy", 34, 67},
        {KindProduct, "\\bg\\missing.bmp", 34, 67},
        {KindCoinSlot, "\\bg\\broken.bmp", 30, 30},
        {KindLever, "\\..\\etc\\passwd", 40, 40},
        {42, "dummy", 32, 32},
    };
    for (const Case &c : cases) {
        const PixelSize s = partPictureSize(sizes, c.kind, c.picture);
        EXPECT_EQ(s.width, c.w) << c.picture;
        EXPECT_EQ(s.height, c.h) << c.picture;
    }
}

TEST(PictureSizes, PaintedPicturesAreFoundBesideTheDocument)
{
    TempDir dir; // its bg/ folder stands for the application folder
    fs::create_directories(dir.path / "docs" / "shop_pictures");
    dir.write("docs/shop_pictures/part_03.bmp", bmpHeader(44, 70));
    const std::string document = (dir.path / "docs" / "shop.jhk").string();
    const std::string appDir = (dir.path / "bg").string();
    const FilePictureSizes sizes(appDir, document);
    const PixelSize s = partPictureSize(sizes, KindProduct, "shop_pictures\\part_03.bmp");
    EXPECT_EQ(s.width, 44);
    EXPECT_EQ(s.height, 70);
    const FilePictureSizes withoutDocument(appDir);
    EXPECT_EQ(partPictureSize(withoutDocument, KindProduct, "shop_pictures\\part_03.bmp").width, 34);
}

TEST(Stage, RebuildShowsExactlyTheUsedSlots)
{
    Rig r;
    r.add(KindProduct, 10, 10);
    r.add(KindButton, 10, 10);
    r.add(KindCounter, 10, 10);
    r.m.part(0).Used = 0;
    r.m.part(1).Left = 1500;
    r.m.part(1).Top = 3000;
    r.m.app.PartsCount = 2;
    r.m.app.MoneyInHand = 1234;
    r.engine.rebuildStage();
    const Stage &s = r.engine.stage();
    EXPECT_FALSE(s.part(0).visible);
    EXPECT_TRUE(s.part(1).visible);
    EXPECT_EQ(s.part(1).rect, (StageRect{1500, 3000, 43 * 15, 19 * 15}));
    EXPECT_EQ(s.part(1).picture, "dummy");
    EXPECT_TRUE(s.part(2).numberShown);
    EXPECT_TRUE(s.controls.deleteEnabled);
    EXPECT_EQ(s.moneyLabel, "所持金：￥1234");
    EXPECT_FALSE(s.selection.visible);

    r.engine.checkAll();
    EXPECT_EQ(r.m.part(1).Width, 43);
    EXPECT_EQ(r.m.part(1).Height, 19);
}

TEST(Stage, SelectionFrameSurroundsThePartByFourPixels)
{
    Rig r;
    const int i = r.add(KindButton, 20, 30);
    Stage &s = r.engine.stage();
    s.showSelection(r.m, SelectionPart, i);
    EXPECT_EQ(s.selection.rect, (StageRect{16 * 15, 26 * 15, 51 * 15, 27 * 15}));
}

TEST(Stage, OpeningADocument)
{
    TempDir dir;
    const std::string path = (dir.path / "machine.jhk").string();
    {
        Rig author(1);
        buildVendingMachine(author); // at level 1 the button gets its preset program first
        author.m.app.Level = 1;
        switchExerciseStep(author.m, 3);
        author.m.app.MoneyInHand = 500;
        author.engine.checkAll();
        ASSERT_TRUE(saveDocument(path, author.m).ok);
    }
    dir.write("garbage.jhk", "JIHANKOBO Ver 1.\x03 cut short");
    dir.write("foreign.jhk", "NOT A MACHINE DOCUMENT AT ALL");

    Rig r;
    const int kept = r.add(KindCounter, 50, 50, 300);
    r.engine.showAmount(kept, 300);
    const Machine before = r.m;
    for (const char *name : {"garbage.jhk", "foreign.jhk", "missing.jhk"}) {
        r.view.messages.clear();
        EXPECT_FALSE(r.engine.openDocument((dir.path / name).string())) << name;
        EXPECT_EQ(r.view.messages.size(), 1u) << name;
        EXPECT_EQ(r.m.parts, before.parts) << name;
        EXPECT_EQ(r.m.app.PartsCount, 1);
        EXPECT_TRUE(r.engine.stage().part(kept).visible);
        EXPECT_EQ(r.engine.stage().part(kept).digits, "300");
    }

    EXPECT_TRUE(r.engine.openDocument(path));
    EXPECT_EQ(r.m.app.Level, 1);
    EXPECT_EQ(r.m.app.Step, 1);
    EXPECT_EQ(r.m.app.PartsCount, 6);
    EXPECT_EQ(r.m.app.MoneyInHand, 500);
    EXPECT_EQ(r.m.part(Button).FirstBlock, 1); // cut to step 1: only the discharge runs
    EXPECT_EQ(r.m.part(Button).BlockCount, 1);
    EXPECT_EQ(r.m.part(CoinSlot).BlockCount, 0);
    EXPECT_TRUE(r.engine.stage().controls.stepControlsVisible);
    EXPECT_EQ(r.engine.stage().part(Counter).digits, "");
    for (int i = 0; i < PartSlots; ++i)
        EXPECT_EQ(r.engine.stage().part(i).visible, i <= Lever) << i;

    r.engine.startRun();
    EXPECT_FALSE(r.engine.openDocument(path)); // only while editing
}
