// Draws one sheet as a DXF R2000 drawing in millimetres, strings in the GBK code page.
#ifndef CADHOST_RENDER_DXF_WRITER_H
#define CADHOST_RENDER_DXF_WRITER_H

#include <ostream>
#include <string>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// Each primitive keeps its layer; texts stay TEXT entities and dimensions become DIMENSION entities carrying their
// measurement, beside the lines, arrowheads and text that draw them. Returns false with a reason when the system
// cannot convert to GBK or the stream fails.
bool write_dxf(const SheetGraphics& sheet, std::ostream& out, std::string& error);

}  // namespace cadhost::render

#endif
