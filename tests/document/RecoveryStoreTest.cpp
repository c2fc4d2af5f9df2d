// Recovery copies: written for a machine with unsaved changes, found after the program that
// kept them has ended (also when it was killed), never taken from a program still running,
// restored whole, and refused with a message when damaged.
#include "Machines.h"
#include "TempFolderTest.h"
#include "document/PlatformFiles.h"
#include "document/RecoveryStore.h"
#include "model/AppPaths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace jhk {
namespace {

using testing::encoded;
using testing::fullMachine;
using testing::startupMachine;

class Recovery : public testing::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_folder = (m_dir / "recovery").string();
    }

    std::vector<std::string> files() const { return TempFolderTest::files("recovery"); }
    static std::vector<RecoveryPicture> drawing()
    {
        return {{4, {'B', 'M', 1, 2, 3}}, {9, {'B', 'M', 4}}};
    }

    std::string m_folder;
};

std::vector<std::uint8_t> fileBytes(const std::string &p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST_F(Recovery, ACopyLeftByAnEndedProgramIsClaimedOnceAndRestoredWhole)
{
    const auto machine = fullMachine();
    std::string copyPath;
    {
        RecoveryStore running(m_folder);
        ASSERT_EQ(running.keep(*machine, drawing), "");
        ASSERT_TRUE(running.hasCopy());
        copyPath = running.copyPath();
        RecoveryStore other(m_folder);
        EXPECT_FALSE(other.claimLeftCopy()) << "the copy of a running program is not taken";
    } // the program ends without its quit prompt: its copy stays

    RecoveryStore next(m_folder);
    auto left = next.claimLeftCopy();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->path(), copyPath);
    RecoveryStore third(m_folder);
    EXPECT_FALSE(third.claimLeftCopy()) << "a claimed copy belongs to the program that claimed it";

    const RecoveryRead read = left->read();
    ASSERT_TRUE(read.machine) << read.message;
    const std::string folder = (m_dir / "restored").string();
    const auto documentPath = read.machine->unpack(folder);
    ASSERT_TRUE(documentPath);
    auto restored = startupMachine();
    ASSERT_TRUE(loadDocument(*documentPath, *restored).ok);
    // The parts with drawings name their pictures beside the unpacked document; everything
    // else is the machine as it was.
    auto expected = fullMachine();
    for (const RecoveryPicture &p : drawing()) {
        EXPECT_EQ(restored->part(p.slot).PictName, paintedPictureName(*documentPath, p.slot));
        expected->part(p.slot).PictName = restored->part(p.slot).PictName;
        const std::string file = folder + "/" + paintedPictureFolderName(*documentPath) + "/part_0" +
                                 std::to_string(p.slot) + ".bmp";
        EXPECT_EQ(fileBytes(file), p.bytes);
    }
    EXPECT_EQ(encoded(*restored), encoded(*expected));

    left->remove();
    EXPECT_TRUE(files().empty());
    EXPECT_FALSE(third.claimLeftCopy());
}

TEST_F(Recovery, ASavedOrQuitMachineLeavesNoCopy)
{
    {
        RecoveryStore store(m_folder);
        ASSERT_EQ(store.keep(*fullMachine(), nullptr), "");
        store.discard();
        EXPECT_FALSE(store.hasCopy());
        // Kept again after the next change, and gone again after the next save.
        ASSERT_EQ(store.keep(*startupMachine(), drawing), "");
        EXPECT_TRUE(store.hasCopy());
        store.discard();
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(Recovery, AKilledProgramsCopyIsFoundOnlyAfterItHasDied)
{
    if (!JHK_POSIX_FILES)
        GTEST_SKIP() << "the plain C++ files know of no other running program";
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        RecoveryStore store(m_folder);
        const bool kept = store.keep(*fullMachine(), drawing).empty();
        (void)!::write(ready[1], kept ? "k" : "f", 1);
        for (;;)
            pause();
    }
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'k');
    RecoveryStore next(m_folder);
    EXPECT_FALSE(next.claimLeftCopy()) << "the program still runs";
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    auto left = next.claimLeftCopy();
    ASSERT_TRUE(left);
    const RecoveryRead read = left->read();
    ASSERT_TRUE(read.machine) << read.message;
    EXPECT_EQ(read.machine->pictures.size(), 2u);
    left->remove();
    EXPECT_TRUE(files().empty());
}

TEST_F(Recovery, ADamagedCopyIsRefusedWithAMessageAndDeleted)
{
    const std::vector<std::uint8_t> good = encodeRecoveryCopy({encoded(*fullMachine()), drawing()});
    ASSERT_TRUE(decodeRecoveryCopy(good).machine);
    auto flipped = good;
    flipped[flipped.size() / 2] ^= 0x20;
    auto cut = good;
    cut.resize(good.size() - 100);
    auto junkDocument = encodeRecoveryCopy({{'J', 'I', 'H', 'A', 'N', 'K', 'O', 'B', 'O', 0}, {}});
    auto badSlot = encodeRecoveryCopy({encoded(*fullMachine()), {{31, {1}}}});
    auto twice = encodeRecoveryCopy({encoded(*fullMachine()), {{4, {1}}, {4, {2}}}});
    struct Case {
        const char *name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},        {"not a copy", {'h', 'e', 'l', 'l', 'o'}},
        {"a flipped bit", flipped}, {"cut short", cut},
        {"a damaged document", junkDocument}, {"a slot outside the table", badSlot},
        {"one slot twice", twice},
    };
    fs::create_directories(m_folder);
    for (const Case &c : cases) {
        std::ofstream(m_folder + "/copy-1-damaged.jhkr", std::ios::binary)
            .write(reinterpret_cast<const char *>(c.bytes.data()), static_cast<std::streamsize>(c.bytes.size()));
        RecoveryStore next(m_folder);
        auto left = next.claimLeftCopy();
        ASSERT_TRUE(left) << c.name;
        const RecoveryRead read = left->read();
        EXPECT_FALSE(read.machine) << c.name;
        EXPECT_EQ(read.message.rfind(DamagedRecoveryMessage, 0), 0u) << c.name << ": " << read.message;
        left->remove();
        EXPECT_TRUE(files().empty()) << c.name;
    }
}

void writeBytes(const std::string &p, const std::vector<std::uint8_t> &bytes)
{
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

fs::perms modeOf(const std::string &p) { return fs::symlink_status(p).permissions(); }

// A folder that is a link (the link's target may be a shared folder) or that belongs to another
// account is not used and not touched: the program says so once and goes on without copies. A
// folder the program did not make keeps its permissions; only one it makes itself is private.
TEST_F(Recovery, OnlyARealFolderOfTheUserIsUsedAndOnlyAFolderItMadeIsTightened)
{
    const std::string shared = (m_dir / "shared").string();
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(0755));
    struct Case {
        const char *name;
        bool usable;
        std::function<bool(const std::string &)> make; // false: cannot be made here
    };
    const Case cases[] = {
        {"missing", true, [](const std::string &) { return true; }},
        {"an existing folder", true,
         [](const std::string &f) {
             fs::create_directory(f);
             fs::permissions(f, fs::perms(0755));
             return true;
         }},
        {"a link to a shared folder", false,
         [&](const std::string &f) {
             fs::create_directory_symlink(shared, f);
             return true;
         }},
        {"a file", false,
         [](const std::string &f) {
             std::ofstream(f) << "x";
             return true;
         }},
        {"a folder of another account", false,
         [](const std::string &f) {
             fs::create_directory(f);
             fs::permissions(f, fs::perms(0777));
             // The plain C++ files cannot tell a folder's owner.
             return JHK_POSIX_FILES && ::geteuid() == 0 && ::chown(f.c_str(), 65534, 65534) == 0;
         }},
    };
    for (const Case &c : cases) {
        fs::remove_all(m_folder);
        if (!c.make(m_folder)) {
            std::cout << "not tried here (needs root and POSIX files): " << c.name << '\n';
            continue;
        }
        const bool existed = fs::exists(fs::symlink_status(m_folder));
        const fs::perms before = existed ? modeOf(m_folder) : fs::perms::none;
        {
            RecoveryStore store(m_folder);
            EXPECT_EQ(store.keep(*fullMachine(), drawing).empty(), c.usable) << c.name;
            EXPECT_EQ(store.hasCopy(), c.usable) << c.name;
            std::vector<std::string> notices = store.takeNotices();
            EXPECT_EQ(store.keep(*startupMachine(), drawing).empty(), c.usable) << c.name;
            EXPECT_FALSE(store.claimLeftCopy()) << c.name;
            for (std::string &n : store.takeNotices())
                notices.push_back(std::move(n));
            if (c.usable) {
                EXPECT_TRUE(notices.empty()) << c.name;
            } else {
                ASSERT_EQ(notices.size(), 1u) << c.name << ": said once";
                EXPECT_NE(notices[0].find(m_folder), std::string::npos) << notices[0];
            }
            if (existed)
                EXPECT_EQ(modeOf(m_folder), before) << c.name << ": not tightened";
            else
                EXPECT_EQ(modeOf(m_folder), fs::perms::owner_all) << c.name << ": made private";
            store.discard();
        }
        EXPECT_EQ(modeOf(shared), fs::perms(0755));
        EXPECT_TRUE(fs::is_empty(shared));
    }
}

// A copy that cannot be opened (another account's copy, or something that is not a file) was
// never read, so it is not called damaged: it stays where it is and a message names it.
TEST_F(Recovery, ACopyThatCannotBeOpenedIsLeftAloneWithAMessage)
{
    fs::create_directories(m_folder);
    const std::string pipe = m_folder + "/copy-7-pipe.jhkr";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string locked = m_folder + "/copy-8-locked.jhkr";
    writeBytes(locked, encodeRecoveryCopy({encoded(*fullMachine()), {}}));
    const bool canDenyReading = ::geteuid() != 0;
    if (canDenyReading)
        fs::permissions(locked, fs::perms::none);
    else
        fs::remove(locked);

    RecoveryStore next(m_folder);
    EXPECT_FALSE(next.claimLeftCopy());
    const std::vector<std::string> notices = next.takeNotices();
    ASSERT_EQ(notices.size(), canDenyReading ? 2u : 1u);
    for (const std::string &n : notices)
        EXPECT_TRUE(n.find(pipe) != std::string::npos || n.find(locked) != std::string::npos) << n;
    EXPECT_TRUE(fs::is_fifo(pipe));
    if (canDenyReading)
        EXPECT_TRUE(fs::exists(locked));
}

// A kill between the copy's link and its rename leaves the complete copy under its hidden
// name: it is offered like any copy (the newest first), also after another program has written
// its own copy meanwhile; one cut short is cleared away. A lock whose copy has gone and that no
// running program holds is removed; a held one stays.
TEST_F(Recovery, LeftoversOfAKilledProgramAreOfferedOrClearedAway)
{
    fs::create_directories(m_folder);
    auto older = startupMachine();
    const std::vector<std::uint8_t> complete = encodeRecoveryCopy({encoded(*fullMachine()), drawing()});
    auto cut = complete;
    cut.resize(cut.size() / 2);
    writeBytes(m_folder + "/copy-1-older.jhkr", encodeRecoveryCopy({encoded(*older), {}}));
    fs::last_write_time(m_folder + "/copy-1-older.jhkr", fs::file_time_type::clock::now() - std::chrono::hours(1));
    writeBytes(m_folder + "/.jhk-save-complete1", complete);
    writeBytes(m_folder + "/.jhk-save-cutshort1", cut);
    writeBytes(m_folder + "/copy-2-orphan.lock", {});
    // A lock another running program holds (the plain C++ files know of no other program).
    const std::string heldLock = m_folder + "/copy-3-held.lock";
    int held = -1;
    if (JHK_POSIX_FILES) {
        writeBytes(heldLock, {});
        held = ::open(heldLock.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    }

    {
        // Another program writes its copy first: the hidden complete copy must survive that.
        RecoveryStore running(m_folder);
        ASSERT_EQ(running.keep(*older, {}), "");
        RecoveryStore next(m_folder);
        auto left = next.claimLeftCopy();
        ASSERT_TRUE(left);
        RecoveryRead read = left->read();
        ASSERT_TRUE(read.machine) << read.message;
        EXPECT_EQ(read.machine->pictures.size(), 2u) << "the newest copy comes first";
        left->remove();
        auto second = next.claimLeftCopy();
        ASSERT_TRUE(second);
        read = second->read();
        ASSERT_TRUE(read.machine) << read.message;
        EXPECT_TRUE(read.machine->pictures.empty());
        second->remove();
        EXPECT_FALSE(next.claimLeftCopy());
        running.discard();
    }
    const std::vector<std::string> expected = JHK_POSIX_FILES ? std::vector<std::string>{"copy-3-held.lock"}
                                                              : std::vector<std::string>{};
    EXPECT_EQ(files(), expected);
    if (held >= 0)
        ::close(held);
}

// A full recovery folder: the old copy stays, so the pupil hears once that copies cannot be
// written now, and the copy offered later says when it was made.
TEST_F(Recovery, ACopyThatCannotBeWrittenIsSaidOnceAndTheOfferSaysWhenTheCopyWasMade)
{
    const auto machine = fullMachine();
    std::string question;
    {
        RecoveryStore running(m_folder);
        ASSERT_EQ(running.keep(*startupMachine(), {}), "");
        // Files can grow no more than a few bytes: as a full disk, the writes fail.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit before {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
        rlimit tiny = before;
        tiny.rlim_cur = 16;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
        const std::string first = running.keep(*machine, drawing);
        auto changed = fullMachine();
        changed->app.MoneyInHand += 10;
        const std::string second = running.keep(*changed, drawing);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &before), 0);
        EXPECT_NE(first, "");
        EXPECT_NE(second, "");
        const std::vector<std::string> notices = running.takeNotices();
        ASSERT_EQ(notices.size(), 1u) << "said once";
        EXPECT_EQ(notices[0].rfind("復元用のデータを今は書き込めません。", 0), 0u) << notices[0];
        EXPECT_NE(notices[0].find("ディスクの空きが足りません。"), std::string::npos) << notices[0];
    } // killed: the older copy stays

    RecoveryStore next(m_folder);
    auto left = next.claimLeftCopy();
    ASSERT_TRUE(left);
    ASSERT_TRUE(left->madeAt());
    const std::time_t now = std::time(nullptr);
    EXPECT_LE(std::abs(static_cast<long long>(now) - *left->madeAt()), 60);
    question = recoveryQuestion(left->madeAt());
    EXPECT_EQ(question.rfind(RecoveryQuestion, 0), 0u);
    char year[8];
    std::strftime(year, sizeof year, "%Y年", std::localtime(&now));
    EXPECT_NE(question.find(year), std::string::npos) << question;
    EXPECT_EQ(recoveryQuestion(std::nullopt), RecoveryQuestion);
    left->remove();
}

} // namespace
} // namespace jhk
