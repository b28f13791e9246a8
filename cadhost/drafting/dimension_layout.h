// Where the parts of a dimension go on the sheet: its extension lines, dimension line or dogleg, arrowheads and value
// text. The sheet builder draws this layout and the report states its text position, so both say the same.
#ifndef CADHOST_DRAFTING_DIMENSION_LAYOUT_H
#define CADHOST_DRAFTING_DIMENSION_LAYOUT_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

struct DimensionLayout {
    render::Point2 first, second;  // the measured points: linear dimensions their two anchors, ordinates origin, object
    std::vector<std::pair<render::Point2, render::Point2>> lines;   // thin strokes
    std::vector<std::pair<render::Point2, render::Point2>> arrows;  // tip, and a point the arrow comes from
    std::vector<std::string> text;                                  // the lines shown
    render::Point2 text_at;                                         // the text's alignment point
    render::Point2 line_at;   // linear dimensions: where the dimension line crosses the second extension line
    int alignment = 5;        // keypad position of text_at on the text
    double text_angle = 0.0;  // degrees, anticlockwise
    double measured = 0.0;
};

// The layout of a horizontal, vertical or ordinate dimension; empty when an anchor no longer resolves.
std::optional<DimensionLayout> layout_dimension(const Document& doc, const AnnotationData& annotation);

// The width of a text line in a style, for leaders, frames and dimension lines, from the sheet font's usual advances
// (within a few per cent for digits, letters and CJK).
double text_width(const std::string& text, const AnnotationStyle& style);

}  // namespace cadhost::drafting

#endif
