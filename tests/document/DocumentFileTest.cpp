#include "Machines.h"
#include "TempFolderTest.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace jhk {
namespace {

using testing::encoded;
using testing::fullMachine;
using testing::sameDocumentContent;
using testing::startupMachine;

class DocumentFile : public testing::TempFolderTest {};

TEST_F(DocumentFile, SavedDocumentOpensAgain)
{
    const auto m = fullMachine();
    const std::string p = path("自販機.JHK");
    const SaveResult s = saveDocument(p, *m);
    ASSERT_TRUE(s.ok) << s.message;
    const std::vector<std::uint8_t> bytes = encoded(*m);
    EXPECT_EQ(contents(p), std::string(bytes.begin(), bytes.end()));

    auto back = startupMachine();
    const LoadResult r = loadDocument(p, *back);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(sameDocumentContent(*back, *m));
    EXPECT_EQ(files(), std::vector<std::string>{"自販機.JHK"});
}

TEST_F(DocumentFile, SavingOverALongerFileLeavesNoOldTail)
{
    const std::string p = path("a.jhk");
    write(p, std::string(200000, 'x'));
    chmod(p.c_str(), 0640);
    ASSERT_TRUE(saveDocument(p, *startupMachine()).ok);
    EXPECT_EQ(fs::file_size(p), encoded(*startupMachine()).size());
    struct stat st {};
    ASSERT_EQ(stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // a replaced file keeps its permissions
    EXPECT_EQ(files(), std::vector<std::string>{"a.jhk"});
}

TEST_F(DocumentFile, SavingThroughALinkReplacesTheFileItPointsTo)
{
    const std::string target = path("real.jhk");
    write(target, "old");
    fs::create_symlink(target, path("link.jhk"));
    ASSERT_TRUE(saveDocument(path("link.jhk"), *startupMachine()).ok);
    EXPECT_TRUE(fs::is_symlink(path("link.jhk")));
    EXPECT_EQ(fs::file_size(target), encoded(*startupMachine()).size());
}

TEST_F(DocumentFile, FailedSavesLeaveTheOldFileAndSayWhy)
{
    const std::string p = path("keep.jhk");
    write(p, "the pupil's old machine");
    write(path("plain-file"), "");

    auto unencodable = startupMachine();
    unencodable->label(1).Caption = "𠮷";
    SaveResult s = saveDocument(p, *unencodable);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\n「𠮷」はファイルに保存できない文字です。");

    auto tooLong = startupMachine();
    tooLong->part(0).Blocks[0].Param[2] = ParamValue(std::string(16384, 'a') + std::string(16384, 'b'));
    s = saveDocument(p, *tooLong);
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\n長すぎるテキストがあります。");

    // A folder that is not there (here: a plain file standing where the folder should be).
    s = saveDocument(path("plain-file/x.jhk"), *startupMachine());
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\n保存先のフォルダが見つかりません。");

    fs::create_directory(path("folder.jhk"));
    s = saveDocument(path("folder.jhk"), *startupMachine());
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\n同じ名前のフォルダがあります。");

    EXPECT_EQ(contents(p), "the pupil's old machine");
    EXPECT_EQ(files(), (std::vector<std::string>{"folder.jhk", "keep.jhk", "plain-file"}));
}

TEST_F(DocumentFile, NewFilesFollowTheUmaskAndProtectedFilesAndFoldersStayUntouched)
{
    const mode_t old = umask(027);
    ASSERT_TRUE(saveDocument(path("new.jhk"), *startupMachine()).ok);
    umask(old);
    struct stat st {};
    ASSERT_EQ(stat(path("new.jhk").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    if (geteuid() == 0)
        GTEST_SKIP() << "root may write to any file";
    const std::string p = path("locked.jhk");
    write(p, "kept");
    chmod(p.c_str(), 0444);
    const SaveResult s = saveDocument(p, *startupMachine());
    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\nこのファイルは書き込み禁止になっています。");
    EXPECT_EQ(contents(p), "kept");

    fs::create_directory(path("shut"));
    chmod(path("shut").c_str(), 0555);
    const SaveResult shut = saveDocument(path("shut/x.jhk"), *startupMachine());
    EXPECT_FALSE(shut.ok);
    EXPECT_EQ(shut.message, std::string(SaveFailedMessage) + "\nこのフォルダには書き込めません。");
    chmod(path("shut").c_str(), 0755);
}

// A disk that fills up half-way through the document: the file-size limit makes the write
// stop the same way.
TEST_F(DocumentFile, AFullDiskLeavesTheOldFile)
{
    const std::string p = path("keep.jhk");
    write(p, "old");
    rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveResult s = saveDocument(p, *fullMachine());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(s.ok);
    EXPECT_EQ(s.message, std::string(SaveFailedMessage) + "\nディスクの空きが足りません。");
    EXPECT_EQ(contents(p), "old");
    EXPECT_EQ(files(), std::vector<std::string>{"keep.jhk"});
}

TEST_F(DocumentFile, FilesThatCannotBeOpenedAreRefusedWithTheirMessage)
{
    write(path("text.jhk"), "This is a letter, not a machine.");
    write(path("empty.jhk"), "");
    const std::vector<std::uint8_t> doc = encoded(*fullMachine());
    write(path("cut.jhk"), std::string(doc.begin(), doc.begin() + 40000));
    fs::create_directory(path("folder.jhk"));
    struct Case {
        std::string file;
        std::string message;
    };
    const Case cases[] = {
        {"missing.jhk", MissingFileMessage},
        {"text.jhk", NotJihankoboMessage},
        {"empty.jhk", NotJihankoboMessage},
        {"cut.jhk", std::string(DamagedFileMessage) + "\nファイルが途中で終わっています。"},
        {"folder.jhk", UnreadableFileMessage},
        {"/dev/zero", UnreadableFileMessage},
    };
    for (const Case &c : cases) {
        auto m = fullMachine();
        const LoadResult r = loadDocument(path(c.file), *m);
        EXPECT_FALSE(r.ok) << c.file;
        EXPECT_EQ(r.message, c.message) << c.file;
        EXPECT_TRUE(sameDocumentContent(*m, *fullMachine())) << c.file;
    }
}

} // namespace
} // namespace jhk
