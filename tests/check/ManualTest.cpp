// The manual pages and the programs' --help come from the same option tables and name the
// same options.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string output(const std::string &command)
{
    std::string out;
    if (FILE *p = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), p)) > 0;)
            out.append(buffer.data(), n);
        pclose(p);
    }
    return out;
}

std::string read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The long options a text names: "--csv" in --help, "\-\-csv" in roff.
std::set<std::string> options(std::string text)
{
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    std::set<std::string> out;
    const std::regex option("--[a-z][a-z-]*");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        out.insert(it->str());
    return out;
}

std::string help(const std::string &program, const char *lang)
{
    return output("LC_ALL= LC_MESSAGES= LANG=" + std::string(lang) + " QT_QPA_PLATFORM=offscreen '" + program
                  + "' --help 2>/dev/null");
}

} // namespace

#ifdef JHK_MANPAGE
TEST(Manual, CheckerAndSimulatorPagesAreWrittenFromTheirHelpTables)
{
    struct Case {
        const char *name;
        const char *program;
    };
    for (const Case &c : {Case{"jihankobo-check", JHK_CHECK}, Case{"jihankobo-sim", JHK_SIM}}) {
        const std::string page = output(std::string("'") + JHK_MANPAGE + "' " + c.name + " '" + JHK_MAN_DIR + "/" + c.name + ".1.in'");
        ASSERT_NE(page.find(".SH OPTIONS"), std::string::npos) << c.name;
        EXPECT_EQ(page.find("@OPTIONS@"), std::string::npos) << c.name;
        const std::string options_part = page.substr(page.find(".SH OPTIONS"), page.find(".SH EXIT STATUS") - page.find(".SH OPTIONS"));
        for (const char *lang : {"C", "ja_JP.UTF-8"}) {
            const std::string text = help(c.program, lang);
            ASSERT_FALSE(text.empty()) << c.name << " " << lang;
            EXPECT_EQ(options(text), options(options_part)) << c.name << " " << lang << "\n" << text << "\n" << options_part;
        }
    }
    // The checker's page names what each expectation takes, and the roles.
    const std::string check = output(std::string("'") + JHK_MANPAGE + "' jihankobo-check '" + JHK_MAN_DIR + "/jihankobo-check.1.in'");
    for (const char *piece : {"購入", "売切", "消灯", "空", "商品出口", "釣レバー", "金額表示", "ボタン1（No.1）",
                              "expect products ", "teachers\\-guide.md"})
        EXPECT_NE(check.find(piece), std::string::npos) << piece;
}
#endif

#ifdef JHK_DESKTOP
TEST(Manual, TheDesktopProgramsPageNamesEveryOptionOfItsHelp)
{
    const std::string page = read(std::string(JHK_MAN_DIR) + "/jihankobo.1");
    const std::set<std::string> documented = options(page);
    const std::set<std::string> helped = options(help(JHK_DESKTOP, "C"));
    ASSERT_FALSE(helped.empty());
    for (const std::string &o : helped)
        EXPECT_TRUE(documented.count(o)) << o << " is in --help but not in jihankobo.1";
    for (const char *o : {"--print", "--printer", "--copies", "--print-pdf", "--worksheet", "--blank"})
        EXPECT_TRUE(documented.count(o)) << o;
}
#endif
