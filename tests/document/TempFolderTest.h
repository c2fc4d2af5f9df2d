#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>

namespace jhk::testing {

// A test with a folder of its own under /tmp, removed afterwards, and what the tests ask of
// the files in it.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/jhk-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        m_dir = name;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const std::string &name) const { return (m_dir / name).string(); }
    static std::string contents(const std::string &p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string &p, const std::string &bytes) { std::ofstream(p, std::ios::binary) << bytes; }
    // The names in the folder (or in its subfolder `sub`), sorted; none when it is not there.
    // Only the files a test expects are there: no temporary file was left behind.
    std::vector<std::string> files(const std::string &sub = {}) const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto &e : std::filesystem::directory_iterator(sub.empty() ? m_dir : m_dir / sub, ec))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path m_dir;
};

} // namespace jhk::testing
