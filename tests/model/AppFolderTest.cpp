#include "model/AppPaths.h"
#include "model/CommandLine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class AppFolder : public ::testing::Test {
protected:
    // Named after the test too: in WebAssembly every process has the same id, and ctest runs
    // the tests side by side.
    fs::path root = fs::temp_directory_path()
        / ("jhk-appfolder-" + std::to_string(::getpid()) + "-"
           + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(root); }
    void TearDown() override { fs::remove_all(root); }
    void catalogueIn(const fs::path &folder, const char *name = "jihan.ini")
    {
        fs::create_directories(folder);
        std::ofstream(folder / name) << "0,商品,値段,在庫数,\n";
    }
};

} // namespace

// The build tree keeps the data beside the programs; an installation keeps it in
// ../share/jihankobo; when both exist the program's own folder wins, so they never mix.
TEST_F(AppFolder, BesideTheProgramFirstThenTheSharedFolder)
{
    const fs::path bin = root / "usr" / "bin";
    const fs::path shared = root / "usr" / "share" / "jihankobo";
    fs::create_directories(bin);
    EXPECT_EQ(jhk::applicationFolderOf(bin.string()), bin.string()) << "neither: the program's folder";
    catalogueIn(shared, "JIHAN.INI");
    EXPECT_EQ(jhk::applicationFolderOf(bin.string()), shared.string());
    catalogueIn(bin);
    EXPECT_EQ(jhk::applicationFolderOf(bin.string()), bin.string());
}

TEST(CommandLine, MessagesFollowTheFirstLanguageVariableThatIsSet)
{
    const struct {
        const char *lcAll, *lcMessages, *lang;
        bool japanese;
    } cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", true},
        {nullptr, nullptr, "en_US.UTF-8", false},
        {nullptr, nullptr, nullptr, false},
        {"C", nullptr, "ja_JP.UTF-8", false},
        {nullptr, "ja_JP.UTF-8", "C", true},
        {"ja_JP.eucJP", "C", "C", true},
    };
    const jhk::Usage usage{"usage", "使い方"};
    for (const auto &c : cases) {
        for (auto [name, value] : {std::pair{"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}}) {
            if (value)
                ::setenv(name, value, 1);
            else
                ::unsetenv(name);
        }
        EXPECT_EQ(jhk::japaneseMessages(), c.japanese) << (c.lang ? c.lang : "-");
        EXPECT_STREQ(jhk::usageText(usage), c.japanese ? "使い方" : "usage");
    }
}
