// Sets sheet texts with pango on a cairo context whose user space is sheet millimetres with y up.
#ifndef CADHOST_RENDER_PDF_TEXT_H
#define CADHOST_RENDER_PDF_TEXT_H

#include <cairo.h>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

class PdfTextPainter {
  public:
    explicit PdfTextPainter(cairo_t* cr);

    void draw(cairo_t* cr, const Text& text) const;

    // The installed sheet font's capital height per em, as measured; pango sizes fonts by em, sheets by capitals.
    double capital_height_per_em() const { return capital_per_em_; }

  private:
    double capital_per_em_;
};

}  // namespace cadhost::render

#endif
