// Draws one sheet as an SVG document whose user units are sheet millimetres.
#ifndef CADHOST_RENDER_SVG_WRITER_H
#define CADHOST_RENDER_SVG_WRITER_H

#include <ostream>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// The output is a pure function of the sheet (fixed precision, no dates, no generated ids, primitives in list order
// grouped by layer), so two runs can be compared with diff.
void write_svg(const SheetGraphics& sheet, std::ostream& out);

}  // namespace cadhost::render

#endif
