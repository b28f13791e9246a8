// The steps of drawing a PDF document with cairo, shared by the writer that makes a document in memory and the one
// that streams it to a file page by page: both must give the same bytes for the same sheets.
#ifndef CADHOST_RENDER_PDF_DRAWING_H
#define CADHOST_RENDER_PDF_DRAWING_H

#include <cstddef>
#include <string>

#include <cairo.h>

#include "cadhost/render/pdf_text.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// A finite, positive width and height.
bool usable_size(const SheetGraphics& sheet);

// A PDF surface writing through `write`, its first page the size of `first`, titled `title` when it is not empty,
// and stamped with no date, so the same sheets give the same bytes.
cairo_surface_t* open_pdf_surface(cairo_write_func_t write, void* closure, const SheetGraphics& first,
                                  const std::string& title);

// One page: sized, labelled and bookmarked with the sheet's name (number counts from 1), its texts and arrowheads,
// and its line work when with_lines.
void draw_pdf_page(cairo_surface_t* surface, cairo_t* cr, const PdfTextPainter& text_painter,
                   const SheetGraphics& sheet, std::size_t number, bool with_lines);

// Finishes the document and frees both; false with the reason when cairo failed on the way.
bool close_pdf_surface(cairo_surface_t* surface, cairo_t* cr, std::string& error);

}  // namespace cadhost::render

#endif
