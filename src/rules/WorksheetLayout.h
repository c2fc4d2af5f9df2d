#pragma once

#include "model/OperandWords.h"
#include "rules/PaperPage.h"

#include <string>
#include <vector>

namespace jhk {

struct PartsRecord;

// A part's flowchart laid out for worksheet pages, in pixels of a 96-dpi page. The boxes keep
// the editor's columns and rows in their order (empty columns and rows are left out) and are
// as large as their words need in a type a 12-year-old reads and writes in; the start and end
// boxes get a row of their own when a block stands in their cell. A flowchart taller than a
// page is cut between two rows into slices, one a page, and every line that crosses a cut is
// marked at both ends with the same letter.
namespace worksheet {
inline constexpr double PixelsPerMm = 96 / 25.4;
inline constexpr int TextPixels = 14;    // 10.5 pt at 96 dpi: the words in the boxes
inline constexpr int CaptionPixels = 11; // 8.25 pt: the exits' "成立" and "不成立"
inline constexpr double BlankMm = 15;    // room between a blank's brackets for a pupil's hand
inline constexpr double CutMarkRadiusMm = 2.5; // the circled letters at a cut between pages
inline constexpr const char *Face = "IPAGothic"; // every word of a worksheet
} // namespace worksheet

// A piece of a box's words: text, or a blank drawn as "（" and "）" around `room`.
struct WorksheetRun {
    std::string text;
    PaperRect rect; // the run's place on its line, brackets included
    bool blank = false;
    PaperRect room; // a blank's empty room
};

struct WorksheetBox {
    int slot = -1;
    PaperRect rect;
    bool branch = false;
    std::vector<WorksheetRun> runs;
};

struct WorksheetLine {
    PaperSegment line;
    std::uint32_t colour = 0; // 0xRRGGBB
};

struct WorksheetLabel {
    std::string text;
    PaperRect rect;
};

// A letter where a line crosses the cut between two pages: drawn on both.
struct WorksheetCutMark {
    std::string letter;
    PaperPoint at;
    int cut = 0; // index into cuts
};

struct WorksheetFlowchart {
    double width = 0;
    double height = 0;
    PaperRect start;
    PaperRect end;
    std::vector<WorksheetBox> boxes;
    std::vector<WorksheetLine> lines; // the links and their arrowheads
    std::vector<WorksheetLabel> captions;
    std::vector<double> cuts; // the y of each cut between pages, in order
    std::vector<WorksheetCutMark> marks;

    int pages() const { return static_cast<int>(cuts.size()) + 1; }
    // The band of the flowchart page `page` (0-based) shows.
    double sliceTop(int page) const { return page == 0 ? 0 : cuts[static_cast<std::size_t>(page - 1)]; }
    double sliceBottom(int page) const
    {
        return page < static_cast<int>(cuts.size()) ? cuts[static_cast<std::size_t>(page)] : height;
    }
};

// Lays out the flowchart of `part` for pages whose flowchart area is `width` × `pageHeight`.
WorksheetFlowchart layoutWorksheetFlowchart(const PartsRecord &part, OperandStyle style, double width,
                                            double pageHeight, const PaperMeasure &measure);

// The band of the flowchart that page `page` shows, with its top at (`left`, `top`) of the page:
// the links, the start and end boxes, the boxes with their words (a blank as empty brackets),
// the exits' captions and the letters at the cuts.
void drawWorksheetFlowchart(const WorksheetFlowchart &f, int page, double left, double top,
                            const PaperMeasure &measure, std::vector<PaperItem> &out);

} // namespace jhk
