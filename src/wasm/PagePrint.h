#pragma once

#include <string>

namespace jhk {

class PageMachine;
class PaperMeasure;

// The pages a page prints, as JSON for the page to draw into its print-only element:
// {width, height, items: [...]} per page, positions in CSS pixels (96 to the inch). An item is
// {kind: "picture"|"fill"|"text"|"line"|"box"|"oval"|"decision"|"clip"|"unclip", x, y, w, h,
// ...}: a picture gives `picture`, `slot` (-1 the background) and `partKind`, with w × h the
// CSS pixels one of its pixels covers; a text gives `text`, `family` ("" the page's own font),
// `pixels`, `bold`, `colour`, `opaque` and its baseline's start `ax`, `ay` (x, y, w, h: its
// line); a line goes from `ax`, `ay` to `bx`, `by`, `pen` wide in `colour`; a decision's ends
// are `tip` deep.

// The machine's printout page (the print dialog's picture), with the part numbers when
// `numbers`, for a printable area `pageWidth` CSS pixels wide: {page} or {refusal} when the
// machine is not being edited.
std::string printPageJson(PageMachine &m, bool numbers, double pageWidth, const PaperMeasure &measure);

// The worksheet pages of part `part` (-1: every part with a program), filled in or `blank`,
// with `title` in the corner of each: {pages: [...]} or {refusal}.
std::string worksheetJson(PageMachine &m, int part, bool blank, const std::string &title, const PaperMeasure &measure);

} // namespace jhk
