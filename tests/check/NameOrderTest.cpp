// The order of a class's machines, shared by the checker and the print commands.
#include "check/ClassCheck.h"
#include "model/NameOrder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace jhk;

namespace fs = std::filesystem;

TEST(NameOrder, LettersWithoutCaseAndNumbersByValue)
{
    struct Case {
        const char *before;
        const char *after;
    };
    const Case cases[] = {
        {"aoki.jhk", "KATO.JHK"},       // letters without regard to case
        {"Aoki.jhk", "aoki2.jhk"},
        {"pupil2.jhk", "pupil10.jhk"},  // numbers by value
        {"pupil9.jhk", "pupil010.jhk"}, // leading zeros do not count ...
        {"pupil02.jhk", "pupil2.jhk"},  // ... but still give an order
        {"2組.jhk", "10組.jhk"},
        {"6年2組_出席番号2.jhk", "6年2組_出席番号12.jhk"},
        {"AOKI.jhk", "aoki.jhk"},       // names that differ only in case keep an order
        {"a.jhk", "a1.jhk"},
        {"zeta.jhk", "あおき.jhk"},      // other characters by their code points
        {"あおき.jhk", "いとう.jhk"},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(namedBefore(c.before, c.after)) << c.before << " < " << c.after;
        EXPECT_FALSE(namedBefore(c.after, c.before)) << c.after << " !< " << c.before;
    }
    EXPECT_FALSE(namedBefore("same.jhk", "same.jhk"));
}

TEST(NameOrder, TheCheckerListsAFolderInThatOrder)
{
    const fs::path dir = fs::temp_directory_path() / "jhk-name-order";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char *name : {"pupil10.jhk", "KATO.JHK", "pupil2.jhk", "aoki.jhk", "notes.txt"})
        std::ofstream(dir / name) << "x";
    std::vector<std::string> names;
    for (const MachineEntry &m : findMachines({dir.string()}).machines)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"aoki.jhk", "KATO.JHK", "pupil2.jhk", "pupil10.jhk"}));
    fs::remove_all(dir);
}
