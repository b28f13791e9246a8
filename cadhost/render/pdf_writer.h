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
// has no area, or cairo or the stream fails; the stream may then hold a partial document. The document is titled
// `title` (the part's name); each page is labelled with its sheet's name and has a bookmark of that name, so a reader
// finds a sheet by name among many.
bool write_pdf(const std::vector<SheetGraphics>& sheets, std::ostream& out, std::string& error,
               const std::string& title = "");

// The same for sheets held elsewhere, which a large export need not copy; none of the pointers may be null.
bool write_pdf_pages(const std::vector<const SheetGraphics*>& sheets, std::ostream& out, std::string& error,
                     const std::string& title = "");

}  // namespace cadhost::render

#endif
