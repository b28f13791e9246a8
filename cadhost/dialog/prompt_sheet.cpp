#include "cadhost/dialog/prompt_sheet.h"

#include <algorithm>
#include <sstream>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/view_frame.h"
#include "cadhost/render/svg_writer.h"

namespace cadhost::dialog {

nlohmann::ordered_json sheet_to_pick_on(const Document& doc) {
    const tag_t drawing = doc.current_drawing();
    const Object* object = drawing == NULL_TAG ? nullptr : doc.find(drawing);
    if (!object || !object->as<DrawingData>()) return nlohmann::ordered_json::object();
    const render::SheetGraphics sheet = drafting::build_sheet(doc, drawing);
    std::ostringstream svg;
    render::write_svg(sheet, svg);
    nlohmann::ordered_json views = nlohmann::ordered_json::array();
    for (tag_t member : doc.drawing_members(drawing)) {
        const Object* m = doc.find(member);
        const DrawingViewData* view = m ? m->as<DrawingViewData>() : nullptr;
        // A view seen from above maps a sheet point back to the model's x and y; the depth is not seen in it.
        if (!view || view->orientation.toward_eye.Z() < 0.999) continue;
        const drafting::Placement placed = drafting::placement(doc, member);
        if (placed.extent.empty) continue;
        const double x0 = placed.sheet_x(placed.extent.xmin), x1 = placed.sheet_x(placed.extent.xmax);
        const double y0 = placed.sheet_y(placed.extent.ymin), y1 = placed.sheet_y(placed.extent.ymax);
        views.push_back({{"name", m->name},
                         {"box", {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}},
                         {"scale", placed.scale},
                         {"ref_x", placed.ref_x},
                         {"ref_y", placed.ref_y},
                         {"cx", placed.cx},
                         {"cy", placed.cy},
                         {"right_x", placed.orientation.right.X()},
                         {"up_y", placed.orientation.up.Y()}});
    }
    return {{"sheet",
             {{"name", sheet.name},
              {"width", sheet.width},
              {"height", sheet.height},
              {"svg", svg.str()},
              {"top_views", views}}}};
}

}  // namespace cadhost::dialog
