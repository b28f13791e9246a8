// A sheet with a top view added to a part, so that the part exports.
#ifndef TESTS_HARDENING_ONE_SHEET_PART_H
#define TESTS_HARDENING_ONE_SHEET_PART_H

#include "cadhost/document/document.h"

namespace hardening {

// Adds "SHEET1" with the model's top view "TOP@1" on it; returns the view's tag.
inline tag_t add_sheet_with_top_view(cadhost::Document& doc) {
    cadhost::Object sheet;
    sheet.type = UF_drawing_type;
    sheet.name = "SHEET1";
    sheet.payload = cadhost::DrawingData{};
    const tag_t drawing = doc.add(std::move(sheet), false);
    cadhost::DrawingViewData data;
    data.drawing = drawing;
    data.model_view = doc.find_model_view("TOP");
    data.orientation = doc.find(data.model_view)->as<cadhost::ModelViewData>()->orientation;
    data.ref_x = 150, data.ref_y = 105;
    data.layers.assign(UF_LAYER_MAX_LAYER, 1);
    cadhost::Object view;
    view.type = UF_view_type;
    view.subtype = UF_draw_view_subtype;
    view.name = "TOP@1";
    view.payload = std::move(data);
    return doc.add(std::move(view), false);
}

}  // namespace hardening

#endif
