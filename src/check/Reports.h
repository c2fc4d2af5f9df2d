#pragma once

#include "check/ClassCheck.h"

#include <string>
#include <vector>

namespace jhk {

// What the report says about the check as a whole.
struct ReportHeading {
    std::vector<std::string> columns; // scenario names, or the model answer
    std::string checkedAgainst;       // "シナリオ: a.txt" or "模範解答: model.jhk (100 回, --seed 1)"
    std::string when;                 // date and time of the check
    Language language = Language::Japanese; // of the CSV's pass and fail words
};

// Marks of the terminal and the page.
inline constexpr const char *PassMark = "○";
inline constexpr const char *FailMark = "×";

// Text for the terminal: control characters (escape, carriage return, bell, and the C1
// controls) written as \xHH, so that a name cannot move the cursor, clear the screen or set
// the window's title.
std::string terminalText(const std::string &text);

// The terminal's line for one machine: a mark per column, the machine's name and its first
// failure in words.
std::string terminalLine(const MachineResult &result, const std::vector<std::string> &columns);

// The table as CSV for a spreadsheet: a row per machine, a column per scenario holding 合格
// ("pass" under an English locale) or the failure text, and a last column 結果 with 合格 or
// 不合格 for the machine as a whole. UTF-8 with a byte order mark and CRLF line ends, as spreadsheets on
// school computers expect; a cell that a spreadsheet would take for a formula starts with '.
std::string csvReport(const ReportHeading &heading, const std::vector<MachineResult> &results);

// One self-contained page (no external files) that prints on A4: the table, every failure in
// words and the printed picture of each machine, given as PNG bytes ("" for none).
std::string htmlReport(const ReportHeading &heading, const std::vector<MachineResult> &results,
                       const std::vector<std::string> &pngPictures);

// Base64 of bytes, for data: URIs.
std::string base64(const std::string &bytes);
// Text made safe inside HTML elements and attribute values.
std::string htmlEscape(const std::string &text);

} // namespace jhk
