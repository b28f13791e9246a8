// A sheet's line work (its polylines, arcs, ellipses and splines) as a PDF content stream of its own. cairo formats
// every coordinate with printf and compresses a page on one thread; a large sheet holds tens of thousands of points, so
// the lines are written here, a page per thread, and the page's cairo stream carries only its texts and arrowheads.
#ifndef CADHOST_RENDER_PDF_LINE_WORK_H
#define CADHOST_RENDER_PDF_LINE_WORK_H

#include <string>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// The content operators drawing the sheet's polylines, arcs, ellipses and splines (by their polylines) in PDF default
// user space (points, origin at the lower left), grouped by stroke as the cairo page draws them: one path per line
// weight and pattern. The operators are enclosed in q/Q, so the stream leaves the graphics state as it found it.
// Coordinates are written to 0.01 mm; arcs and ellipses become cubic curves within 0.005 mm of the curve. A primitive
// with a coordinate that is not a finite number of sensible size is left out. Empty when the sheet has no lines.
std::string line_work_content(const SheetGraphics& sheet);

// Compresses bytes as a PDF FlateDecode stream (zlib format) into packed, at a level from 1 (fastest) to 12
// (smallest); false when the compressor cannot be made (out of memory).
bool deflate_into(const std::string& bytes, int level, std::string& packed);

}  // namespace cadhost::render

#endif
