// The EDM coordinate table (放电坐标) of an electrode sheet: where the EDM point is from the core's origin, with signs,
// how the copy is turned, which way and how deep the electrode burns, and which point the coordinates locate.
//
// A machinist sets up from the sheet: the views' ordinate values carry no sign, and a view from below or from a side
// turns the axes. The table says it in numbers, written from the setup the run recorded on the drawing (the record
// the setup list is written from), so the two cannot differ. It is placed when the sheet is drawn, in free room, so
// that it moves nothing the run placed.
#ifndef CADHOST_SETUP_EDM_TABLE_H
#define CADHOST_SETUP_EDM_TABLE_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cadhost/render/sheet_graphics.h"
#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

inline constexpr const char* kEdmTableTitle = "放电坐标";

// The table's rows, a heading and its value each: X, Y, Z, 转角, 放电方向, 深度, 定位点.
std::vector<std::pair<std::string, std::string>> edm_table_rows(const SheetSetup& setup);

// Draws the table on a sheet of a drawing that has a setup, where the sheet leaves room for it; the note returned (its
// title and "heading value" lines, at the table's upper left corner) joins the drawing in doc for the report.
std::optional<AnnotationData> draw_edm_table(const Document& doc, tag_t drawing, render::SheetGraphics& sheet);

}  // namespace cadhost::setup

#endif
