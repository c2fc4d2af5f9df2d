#include "check/Reports.h"

namespace jhk {

namespace {

std::string cell(std::string text)
{
    // A spreadsheet runs a cell starting with one of these as a formula: a pupil's file named
    // "=HYPERLINK(…).jhk", or the message "-500以上在庫は減らせません", must stay text.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string csvReport(const ReportHeading &heading, const std::vector<MachineResult> &results)
{
    std::string out = "\xEF\xBB\xBF";
    out += cell("ファイル");
    for (const std::string &c : heading.columns)
        out += "," + cell(c);
    // The overall result comes last: the columns before it stay where teachers' sheets read them.
    out += "," + cell(pick(heading.language, "結果", "result")) + "\r\n";
    const std::string pass = pick(heading.language, "合格", "pass");
    const std::string fail = pick(heading.language, "不合格", "fail");
    for (const MachineResult &r : results) {
        out += cell(r.machine.name);
        for (const CheckOutcome &o : r.outcomes)
            out += "," + cell(o.passed ? pass : o.failure);
        out += "," + cell(r.passed() ? pass : fail) + "\r\n";
    }
    return out;
}

} // namespace jhk
