// How much of the sheet a text covers, measured with the installed sheet font as the PDF writer sets it, so that
// texts are placed clear of each other with the widths the sheet will really show.
#ifndef CADHOST_RENDER_TEXT_METRICS_H
#define CADHOST_RENDER_TEXT_METRICS_H

#include <array>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// A text's extent in its own upright frame, in sheet mm: its advance along the baseline, and how far the font's line
// box reaches above and below the baseline.
struct TextExtent {
    double advance = 0.0;
    double ascent = 0.0;
    double descent = 0.0;
};

// Measured with the font the sheet names (a machine without it measures the font that stands in, as its outputs
// show). Results are kept per thread, so asking for the same text again is cheap.
TextExtent measure_text(const Text& text);

// The corners of the text's ink on the sheet: along the baseline its advance, across it the middle `ink` of the font's
// line box (glyphs of digits and CJK fill about 0.8 of the em there), turned with the text.
std::array<Point2, 4> text_ink_corners(const Text& text, const TextExtent& extent);

}  // namespace cadhost::render

#endif
