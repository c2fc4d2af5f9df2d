// Recovery copies: written for a machine with unsaved changes, found after the program that
// kept them has ended (also when it was killed), never taken from a program still running,
// restored whole, and refused with a message when damaged.
#include "Machines.h"
#include "TempFolderTest.h"
#include "document/RecoveryStore.h"
#include "model/AppPaths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
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

} // namespace
} // namespace jhk
