#include "model/AppState.h"
#include "model/Catalogue.h"
#include "model/Fields.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace jhk;

namespace {

class CatalogueFile : public ::testing::Test {
protected:
    void write(const std::string &text)
    {
        // Named after the test too: in WebAssembly every process has the same id, and ctest
        // runs the tests side by side.
        dir = std::filesystem::temp_directory_path()
            / ("jhk_cat_" + std::to_string(::getpid()) + "_"
               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        std::ofstream(dir / "jihan.ini", std::ios::binary) << text;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

} // namespace

TEST_F(CatalogueFile, LooksUpNamesAndVariables)
{
    write("0,商品,値段,在庫数,なし\r\n1,\"ボタン, 大\",購買可ランプ,売切ランプ,なし\n");
    Catalogue cat(dir.string());
    EXPECT_EQ(cat.kindName(0), "商品");
    EXPECT_EQ(cat.kindName(1), "ボタン, 大");
    EXPECT_EQ(cat.variableLabel(0, "B"), "在庫数");
    EXPECT_EQ(cat.variableLabel(1, "A"), "購買可ランプ");
    EXPECT_EQ(cat.variableLabel(1, "X"), "ボタン, 大");
    EXPECT_EQ(cat.kindName(6), "");
    EXPECT_EQ(cat.variableLabel(6, "A"), "");
    EXPECT_FALSE(cat.entry(6).has_value());
}

TEST_F(CatalogueFile, EveryFieldTakesPartInTheLookup)
{
    // A label that reads like a kind number matches too: the name lookup takes the first
    // match, the variable lookup the last one.
    write("0,商品,3,在庫数,なし\n3,金額表示,金額,なし,なし\n");
    Catalogue cat(dir.string());
    EXPECT_EQ(cat.kindName(3), "在庫数");
    EXPECT_EQ(cat.variableLabel(3, "A"), "金額");
    EXPECT_EQ(cat.entry(3)->name, "在庫数");
}

TEST(Catalogue, MissingFileGivesEmptyTexts)
{
    Catalogue cat("/nonexistent-folder");
    EXPECT_EQ(cat.kindName(0), "");
}

TEST(Catalogue, ShippedCatalogueNamesTheLampsAndStock)
{
    Catalogue cat(JHK_APP_DIR);
    for (int kind = 0; kind < PartsKindCount; ++kind) {
        EXPECT_EQ(cat.kindName(kind), std::string(PartsKindCaptions[kind])) << kind;
        EXPECT_FALSE(cat.variableLabel(kind, "C").empty()) << kind;
    }
    EXPECT_EQ(cat.variableLabel(KindButton, "A"), "購買可ランプ");
    EXPECT_EQ(cat.variableLabel(KindButton, "B"), "売切ランプ");
    EXPECT_EQ(cat.variableLabel(KindProduct, "B"), "在庫数");
}

TEST(Catalogue, ShippedBlockExplanationsCoverEveryVendingBlock)
{
    const auto fields = readFieldFile(std::string(JHK_APP_DIR) + "/block.ini");
    for (int kind = FirstVendingBlock; kind <= LastVendingBlock; ++kind) {
        bool found = false;
        for (std::size_t i = 0; i + 1 < fields.size(); ++i)
            found = found || (fields[i] == std::to_string(kind) && fields[i + 1].size() > 20);
        EXPECT_TRUE(found) << kind;
    }
}

TEST(Fields, SplitsQuotedAndEmptyFields)
{
    EXPECT_EQ(splitFields("a, \"b,c\" ,,d\r\n\r\n\"e\"\"f\",g,"),
              (std::vector<std::string>{"a", "b,c", "", "d", "e\"f", "g", ""}));
}
