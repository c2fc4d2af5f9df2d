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
    out += "\r\n";
    for (const MachineResult &r : results) {
        out += cell(r.machine.name);
        for (const CheckOutcome &o : r.outcomes)
            out += "," + cell(o.passed ? "pass" : o.failure);
        out += "\r\n";
    }
    return out;
}

} // namespace jhk
