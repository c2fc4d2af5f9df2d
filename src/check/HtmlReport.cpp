#include "check/Reports.h"

#include <sstream>

namespace jhk {

std::string base64(const std::string &bytes)
{
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8
            | static_cast<unsigned char>(bytes[i + 2]);
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += alphabet[v & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += alphabet[v >> 6 & 63];
        out += '=';
    }
    return out;
}

std::string htmlEscape(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// Gothic faces of Japanese desktops first, so the page reads the same on the school's
// computers and on the teacher's own.
constexpr const char *Style = R"(@page { size: A4; margin: 12mm; }
* { box-sizing: border-box; }
body { font-family: "IPAGothic", "IPAPGothic", "Noto Sans CJK JP", "Yu Gothic", "Meiryo", sans-serif;
       font-size: 10.5pt; line-height: 1.45; color: #222; max-width: 186mm; margin: 0 auto; padding: 6mm 0; }
h1 { font-size: 16pt; margin: 0 0 2mm; padding-bottom: 1mm; border-bottom: 2px solid #444; }
h2 { font-size: 12pt; margin: 0 0 2mm; }
p.meta { margin: 0 0 4mm; color: #444; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #999; padding: 1.5mm 2mm; text-align: left; vertical-align: top; }
th { background: #eee; font-weight: bold; }
thead { display: table-header-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
td.mark { text-align: center; white-space: nowrap; }
.pass { color: #1b7a35; }
.fail { color: #c21f1f; font-weight: bold; }
a { color: inherit; }
section.machine { break-inside: avoid; page-break-inside: avoid; margin-top: 7mm; padding-top: 3mm; border-top: 1px solid #aaa; }
section.machine img { display: block; max-width: 100%; height: auto; max-height: 120mm; margin: 2mm 0; border: 1px solid #ccc; }
ul.failures { margin: 1mm 0 0; padding-left: 5mm; }
ul.failures li { margin: 0.5mm 0; }
p.nopicture { color: #777; }
@media print { section.machine img { max-height: 92mm; } } /* two machines a page */
td small { font-size: 8.5pt; color: #444; }
)";

std::string verdict(const MachineResult &r)
{
    if (!r.opened)
        return "<span class=\"fail\">開けません</span>";
    return r.passed() ? "<span class=\"pass\">合格</span>" : "<span class=\"fail\">不合格</span>";
}

} // namespace

std::string htmlReport(const ReportHeading &heading, const std::vector<MachineResult> &results,
                       const std::vector<std::string> &pngPictures)
{
    std::size_t passed = 0;
    for (const MachineResult &r : results)
        passed += r.passed() ? 1 : 0;

    std::ostringstream o;
    o << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>ジハンコウボウ クラスの検査</title>\n<style>\n" << Style << "</style>\n</head>\n<body>\n"
      << "<h1>ジハンコウボウ クラスの検査</h1>\n<p class=\"meta\">" << htmlEscape(heading.checkedAgainst);
    if (!heading.when.empty())
        o << "<br>" << htmlEscape(heading.when);
    o << "<br>" << results.size() << " 台: 合格 " << passed << "、不合格 " << results.size() - passed << "</p>\n";

    o << "<table class=\"summary\">\n<thead><tr><th>ファイル</th>";
    for (const std::string &c : heading.columns)
        o << "<th>" << htmlEscape(c) << "</th>";
    o << "<th>結果</th></tr></thead>\n<tbody>\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
        const MachineResult &r = results[i];
        o << "<tr><td><a href=\"#m" << i + 1 << "\">" << htmlEscape(r.machine.name) << "</a></td>";
        for (const CheckOutcome &c : r.outcomes)
            o << "<td class=\"mark " << (c.passed ? "pass\">" : "fail\">") << (c.passed ? PassMark : FailMark) << "</td>";
        o << "<td>" << verdict(r);
        const std::string first = r.opened ? firstFailure(r, heading.columns) : r.openMessage;
        if (!first.empty())
            o << "<br><small>" << htmlEscape(first) << "</small>";
        o << "</td></tr>\n";
    }
    o << "</tbody>\n</table>\n";

    for (std::size_t i = 0; i < results.size(); ++i) {
        const MachineResult &r = results[i];
        o << "<section class=\"machine\" id=\"m" << i + 1 << "\">\n<h2>" << htmlEscape(r.machine.name) << " "
          << verdict(r) << "</h2>\n";
        const std::string png = i < pngPictures.size() ? pngPictures[i] : std::string();
        if (!png.empty())
            o << "<img alt=\"" << htmlEscape(r.machine.name) << " の印刷\" src=\"data:image/png;base64," << base64(png)
              << "\">\n";
        else if (r.opened)
            o << "<p class=\"nopicture\">(絵はありません)</p>\n";
        o << "<ul class=\"failures\">\n";
        if (!r.opened) {
            o << "<li class=\"fail\">" << htmlEscape(r.openMessage) << "</li>\n";
        } else {
            for (std::size_t c = 0; c < r.outcomes.size(); ++c) {
                const CheckOutcome &out = r.outcomes[c];
                o << "<li><b>" << htmlEscape(c < heading.columns.size() ? heading.columns[c] : std::string()) << "</b>: ";
                if (out.passed)
                    o << "<span class=\"pass\">" << PassMark << " 合格</span>";
                else
                    o << "<span class=\"fail\">" << FailMark << "</span> " << htmlEscape(out.failure);
                o << "</li>\n";
            }
        }
        o << "</ul>\n</section>\n";
    }
    o << "</body>\n</html>\n";
    return o.str();
}

} // namespace jhk
