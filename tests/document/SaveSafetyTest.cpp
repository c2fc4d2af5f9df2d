// Saving onto names that are not plain files, into folders the program may not write, and
// saves killed half-way: the pupil's files and the system's stay as they were, and nothing is
// left behind.
#include "Machines.h"
#include "TempFolderTest.h"
#include "document/AtomicFile.h"
#include "document/PlatformFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace jhk {
namespace {

using testing::encoded;
using testing::fullMachine;
using testing::startupMachine;

const std::string NotPlainReason = std::string(SaveFailedMessage) + "\n同じ名前の、ふつうのファイルではないもの（装置など）があります。";

class SaveSafety : public testing::TempFolderTest {
protected:
    static std::string document(const Machine &m)
    {
        const std::vector<std::uint8_t> bytes = encoded(m);
        return std::string(bytes.begin(), bytes.end());
    }
};

void makeSocket(const std::string &p)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", p.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    close(fd);
}

TEST_F(SaveSafety, NamesThatAreNotPlainFilesAreRefusedAndLeftAlone)
{
    ASSERT_EQ(mkfifo(path("pipe").c_str(), 0644), 0);
    makeSocket(path("socket"));
    fs::create_symlink(path("pipe"), path("to-pipe.jhk"));
    fs::create_symlink("socket", path("to-socket.jhk"));
    fs::create_symlink("to-pipe.jhk", path("to-link-to-pipe.jhk"));
    fs::create_directory(path("folder"));
    fs::create_symlink("folder", path("to-folder.jhk"));
    fs::create_symlink("loop-b", path("loop-a"));
    fs::create_symlink("loop-a", path("loop-b"));
    const auto before = files();

    struct Case {
        std::string name;
        std::string message;
    };
    const Case cases[] = {
        {"pipe", NotPlainReason},
        {"socket", NotPlainReason},
        {"to-pipe.jhk", NotPlainReason},
        {"to-socket.jhk", NotPlainReason},
        {"to-link-to-pipe.jhk", NotPlainReason},
        {"to-folder.jhk", std::string(SaveFailedMessage) + "\n同じ名前のフォルダがあります。"},
        {"loop-a", std::string(SaveFailedMessage) + "\nファイル名のリンクが多すぎるか、ループしています。"},
    };
    for (const Case &c : cases) {
        const SaveResult s = saveDocument(path(c.name), *startupMachine());
        EXPECT_FALSE(s.ok) << c.name;
        EXPECT_EQ(s.message, c.message) << c.name;
    }
    EXPECT_EQ(files(), before) << "nothing was added or replaced";
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path("pipe"))));
    EXPECT_TRUE(fs::is_socket(fs::symlink_status(path("socket"))));
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(path("to-pipe.jhk"))));
    EXPECT_TRUE(fs::is_empty(path("folder")));
}

TEST_F(SaveSafety, LinksLeadToTheFileThatIsReplacedInItsOwnFolder)
{
    fs::create_directory(path("real"));
    fs::create_directory(path("links"));
    write(path("real/shop.jhk"), "old");
    chmod(path("real/shop.jhk").c_str(), 0604);
    fs::create_symlink("../real/shop.jhk", path("links/first.jhk"));
    fs::create_symlink("first.jhk", path("links/second.jhk"));
    fs::create_symlink("../real/new.jhk", path("links/dangling.jhk"));

    ASSERT_TRUE(saveDocument(path("links/second.jhk"), *fullMachine()).ok);
    EXPECT_EQ(contents(path("real/shop.jhk")), document(*fullMachine()));
    struct stat st {};
    ASSERT_EQ(stat(path("real/shop.jhk").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u) << "the file keeps its permissions";
    // A link to a name that does not exist yet makes the file there.
    ASSERT_TRUE(saveDocument(path("links/dangling.jhk"), *startupMachine()).ok);
    EXPECT_EQ(contents(path("real/new.jhk")), document(*startupMachine()));

    EXPECT_EQ(files("real"), (std::vector<std::string>{"new.jhk", "shop.jhk"}));
    EXPECT_EQ(files("links"), (std::vector<std::string>{"dangling.jhk", "first.jhk", "second.jhk"}));
    for (const char *link : {"links/first.jhk", "links/second.jhk", "links/dangling.jhk"})
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(path(link)))) << link;
}

// Runs `body` in a child process as an ordinary user (the tests may run as root, who may
// write anywhere); returns the child's exit code.
int asOrdinaryUser(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

TEST_F(SaveSafety, AFolderThatCannotBeWrittenIsReportedAndStaysEmpty)
{
    fs::create_directory(path("shut"));
    chmod(m_dir.c_str(), 0755);
    chmod(path("shut").c_str(), 0555);
    const std::string target = path("shut/x.jhk");
    const int code = asOrdinaryUser([&] {
        const SaveResult s = saveDocument(target, *startupMachine());
        return !s.ok && s.message == std::string(SaveFailedMessage) + "\nこのフォルダには書き込めません。" ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(fs::is_empty(path("shut")));
}

// A save killed at any moment leaves the old file or the new one, whole, and at most a hidden
// file that the next save removes.
TEST_F(SaveSafety, ASaveKilledAtAnyMomentLeavesNothingBehind)
{
    const std::string target = path("machine.jhk");
    const auto machine = fullMachine();
    ASSERT_TRUE(saveDocument(target, *startupMachine()).ok);
    const std::string oldBytes = document(*startupMachine());
    const std::string newBytes = document(*machine);
    std::mt19937 random(12345);
    for (int kill = 0; kill < 40; ++kill) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;)
                saveDocument(target, *machine);
        }
        usleep(1000 + random() % 20000);
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string now = contents(target);
        ASSERT_TRUE(now == oldBytes || now == newBytes) << "the document is whole after kill " << kill;
        for (const std::string &name : files())
            ASSERT_TRUE(name == "machine.jhk" || name.rfind(AbandonedFilePrefix, 0) == 0) << name;
    }
    ASSERT_TRUE(saveDocument(target, *machine).ok);
    EXPECT_EQ(files(), std::vector<std::string>{"machine.jhk"});
}

TEST_F(SaveSafety, HiddenFilesOfKilledSavesGoWithTheNextSaveButNotThoseOfRunningSaves)
{
    const std::string abandoned = path(std::string(AbandonedFilePrefix) + "abandoned1");
    const std::string running = path(std::string(AbandonedFilePrefix) + "running123");
    const std::string other = path(".jhk-something-else");
    write(abandoned, "half a machine");
    write(other, "not ours");
    // A save another running program is making (the plain C++ files know of no other program).
    int held = -1;
    if (JHK_POSIX_FILES) {
        write(running, "a machine being written");
        held = open(running.c_str(), O_RDONLY);
        ASSERT_EQ(flock(held, LOCK_EX), 0);
    }

    ASSERT_TRUE(saveDocument(path("next.jhk"), *startupMachine()).ok);
    if (held >= 0)
        close(held);
    std::vector<std::string> expected{".jhk-something-else", "next.jhk"};
    if (JHK_POSIX_FILES)
        expected.insert(expected.begin(), ".jhk-save-running123");
    EXPECT_EQ(files(), expected);
}

// A valid machine followed by a great deal of junk costs no more than the machine: only the
// bytes of the layout are read from the disk.
TEST_F(SaveSafety, TheReaderReadsOnlyWhatTheLayoutTakes)
{
    const std::string p = path("padded.jhk");
    const std::string doc = document(*fullMachine());
    write(p, doc);
    ASSERT_EQ(truncate(p.c_str(), 200 * 1024 * 1024), 0); // 200 MB, most of it a hole of zeros

    auto bytesRead = [] {
        std::ifstream io("/proc/self/io");
        std::string key;
        long long value = 0;
        while (io >> key >> value)
            if (key == "rchar:")
                return value;
        return -1LL;
    };
    const long long before = bytesRead();
    auto m = startupMachine();
    const LoadResult r = loadDocument(p, *m);
    const long long read = bytesRead() - before;
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(document(*m), doc);
    if (before >= 0)
        EXPECT_LT(read, static_cast<long long>(doc.size()) + 64 * 1024);

    // A pipe under the name is refused at once, without waiting for a writer.
    ASSERT_EQ(mkfifo(path("pipe.jhk").c_str(), 0644), 0);
    const LoadResult pipe = loadDocument(path("pipe.jhk"), *m);
    EXPECT_FALSE(pipe.ok);
    EXPECT_EQ(pipe.message, UnreadableFileMessage);
}

} // namespace
} // namespace jhk
