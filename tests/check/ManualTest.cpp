// The manual pages and the programs' --help come from the same option tables and name the
// same options.
#include "model/DesktopUsage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <regex>
#include <set>
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

#if defined(JHK_DESKTOP) && defined(JHK_MANPAGE)
// The desktop program's --help, in both languages, and its manual page carry the options part
// its one table writes, and name the same options.
TEST(Manual, TheDesktopProgramsHelpAndPageAreWrittenFromOneTable)
{
    const std::string page = output(std::string("'") + JHK_MANPAGE + "' jihankobo '" + JHK_MAN_DIR + "/jihankobo.1.in'");
    EXPECT_EQ(page.find("@OPTIONS@"), std::string::npos);
    EXPECT_NE(page.find(jhk::optionManPage(jhk::desktopOptions())), std::string::npos) << page;
    const std::size_t from = page.find(".SH OPTIONS");
    ASSERT_NE(from, std::string::npos);
    const std::string optionsPart = page.substr(from, page.find(".SH FILES") - from);
    for (const auto &[lang, japanese] : {std::pair{"C", false}, std::pair{"ja_JP.UTF-8", true}}) {
        const std::string text = help(JHK_DESKTOP, lang);
        EXPECT_EQ(text, jhk::desktopUsage(japanese)) << lang;
        EXPECT_NE(text.find(jhk::optionHelp(jhk::desktopOptions(), japanese)), std::string::npos) << lang;
        EXPECT_EQ(options(text), options(optionsPart)) << lang << "\n" << text << "\n" << optionsPart;
    }
    for (const char *o : {"--print", "--printer", "--copies", "--print-pdf", "--worksheet", "--blank", "--export-flowchart"})
        EXPECT_TRUE(options(optionsPart).count(o)) << o;
    // Both forms of --print-pdf stand in the page.
    EXPECT_NE(optionsPart.find("OUT.pdf MACHINE.jhk|FOLDER..."), std::string::npos);
    EXPECT_NE(optionsPart.find("MACHINE.jhk OUT.pdf"), std::string::npos);
}
#endif
