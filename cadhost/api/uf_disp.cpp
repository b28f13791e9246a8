// The display record of drawings.
#include <cstddef>
#include <cstring>

#include "cadhost/api/boundary.h"
#include "cadhost/partfile/part_check.h"
#include "host/uf_disp.h"

using cadhost::Document;
using cadhost::Part;
using cadhost::api::with_part;

static_assert(offsetof(UF_DISP_drawing_display_t, show_grid) == 20);

extern "C" {

int UF_DISP_ask_drawing_display(UF_DISP_drawing_display_t* display) {
    if (!display) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const auto& d = doc.drawing_display();
        std::memset(display, 0, sizeof *display);
        display->background_color = d.background_color;
        display->border_color = d.border_color;
        display->grid_spacing = d.grid_spacing;
        display->grid_color = d.grid_color;
        display->show_grid = d.show_grid ? 1 : 0;
        return UF_ok;
    });
}

int UF_DISP_set_drawing_display(const UF_DISP_drawing_display_t* display) {
    if (!display) return UF_err_bad_argument;
    // The bounds the part file holds a grid to: a finer grid would draw millions of lines.
    if (!(display->grid_spacing >= cadhost::partfile::kSmallestGridSpacing &&
          display->grid_spacing <= cadhost::partfile::kLargestSheet))
        return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        Document::DrawingDisplay d;
        d.background_color = display->background_color;
        d.border_color = display->border_color;
        d.grid_spacing = display->grid_spacing;
        d.grid_color = display->grid_color;
        d.show_grid = display->show_grid != 0;
        doc.set_drawing_display(d);
        return UF_ok;
    });
}

}  // extern "C"
