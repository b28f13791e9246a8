// Draws sheets as one PDF document, a page per sheet at true size.
#ifndef CADHOST_RENDER_PDF_WRITER_H
#define CADHOST_RENDER_PDF_WRITER_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// Vector output through cairo; texts are real text set with pango in the sheet font, so they can be searched and
// copied, and only the glyphs used are embedded. Returns false with a reason when there is nothing to draw, a sheet
// has no area, or cairo or the stream fails; the stream may then hold a partial document.
bool write_pdf(const std::vector<SheetGraphics>& sheets, std::ostream& out, std::string& error);

}  // namespace cadhost::render

#endif
