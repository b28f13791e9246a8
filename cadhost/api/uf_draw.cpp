// Drawings and drawing views.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

#include "cadhost/api/boundary.h"
#include "cadhost/drafting/view_frame.h"
#include "host/uf_draw.h"

using cadhost::Document;
using cadhost::DrawingData;
using cadhost::DrawingViewData;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

static_assert(offsetof(UF_DRAW_view_info_t, view_scale) == 8);
static_assert(offsetof(UF_DRAW_view_prefs_t, hidden_line_removal) == 0);
static_assert(offsetof(UF_DRAW_view_prefs_t, hidden_edges) == 8);
static_assert(offsetof(UF_DRAW_view_prefs_t, silhouettes) == 12);
static_assert(offsetof(UF_DRAW_view_prefs_t, smooth_edges) == 16);
static_assert(offsetof(UF_DRAW_view_prefs_t, uv_grid_lines) == 104);
static_assert(offsetof(UF_DRAW_view_prefs_t, hidden_by_other_bodies) == 108);
static_assert(offsetof(UF_DRAW_view_prefs_t, reserved_114) == 114);

namespace {

DrawingData* drawing_of(Document& doc, tag_t tag) {
    Object* object = doc.find(tag);
    return object ? object->as<DrawingData>() : nullptr;
}

DrawingViewData* view_of(Document& doc, tag_t tag) {
    Object* object = doc.find(tag);
    return object ? object->as<DrawingViewData>() : nullptr;
}

int check_view(Document& doc, tag_t tag) {
    const Object* object = doc.find(tag);
    if (!object) return UF_err_bad_tag;
    return object->as<DrawingViewData>() ? UF_ok : UF_err_wrong_type;
}

// A new view shows the layers that are shown now: the layers that are not inactive.
std::vector<char> current_layers(const Document& doc) {
    std::vector<char> layers(UF_LAYER_MAX_LAYER, 0);
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l) layers[l - 1] = doc.layer_status(l) != UF_LAYER_INACTIVE_LAYER;
    return layers;
}

tag_t add_view(Document& doc, tag_t drawing_tag, DrawingViewData view) {
    Object* drawing = doc.find(drawing_tag);
    auto* sheet = drawing->as<DrawingData>();
    Object object;
    object.type = UF_view_type;
    object.subtype = UF_draw_view_subtype;
    // Views are found by name; the drawing's name with a number reads best, when it fits the names the host keeps.
    std::string name = drawing->name + "@" + std::to_string(sheet->next_view_number++);
    if (name.size() > UF_OBJ_NAME_LEN) name = "VIEW@" + std::to_string(doc.next_tag());
    object.name = name;
    object.payload = std::move(view);
    return doc.add(std::move(object), false);
}

}  // namespace

extern "C" {

int UF_DRAW_create_drawing(const char* name, UF_DRAW_info_t* info, tag_t* drawing) {
    if (!name || !info || !drawing) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!name[0] || !cadhost::is_utf8(name)) return UF_err_bad_argument;
        if (std::strlen(name) > UF_OBJ_NAME_LEN) return UF_err_name_too_long;
        if (doc.find_drawing(name) != NULL_TAG) return UF_err_name_taken;
        DrawingData sheet;
        if (info->size_state == UF_DRAW_CUSTOM_SIZE) {
            sheet.height = info->size.custom_size[0];
            sheet.width = info->size.custom_size[1];
        } else if (info->size_state == UF_DRAW_METRIC_SIZE) {
            static const double sizes[5][2] = {{841, 1189}, {594, 841}, {420, 594}, {297, 420}, {210, 297}};
            int code = info->size.metric_size_code;
            if (code < 0 || code > 4) return UF_err_bad_argument;
            sheet.height = sizes[code][0];
            sheet.width = sizes[code][1];
        } else {
            return UF_err_bad_argument;
        }
        if (!(sheet.width > 0 && sheet.height > 0 && sheet.width < 10000 && sheet.height < 10000))
            return UF_err_bad_argument;
        sheet.scale = info->drawing_scale > 0 && std::isfinite(info->drawing_scale) ? info->drawing_scale : 1.0;
        sheet.units = info->units;
        sheet.projection = info->projection_angle;
        Object object;
        object.type = UF_drawing_type;
        object.name = name;
        object.payload = sheet;
        *drawing = doc.add(std::move(object), false);
        doc.set_current_drawing(*drawing);
        doc.set_display_state(UF_DRAW_DRAWING_DISPLAY);
        return UF_ok;
    });
}

int UF_DRAW_ask_current_drawing(tag_t* drawing) {
    if (!drawing) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *drawing = doc.current_drawing();
        return UF_ok;
    });
}

int UF_DRAW_open_drawing(tag_t drawing) {
    return with_part([&](Part&, Document& doc) {
        if (!drawing_of(doc, drawing)) return doc.find(drawing) ? UF_err_wrong_type : UF_err_bad_tag;
        doc.set_current_drawing(drawing);
        doc.set_display_state(UF_DRAW_DRAWING_DISPLAY);
        return UF_ok;
    });
}

int UF_DRAW_ask_drawing_info(tag_t drawing, UF_DRAW_info_t* info) {
    if (!info) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const DrawingData* sheet = drawing_of(doc, drawing);
        if (!sheet) return doc.find(drawing) ? UF_err_wrong_type : UF_err_bad_tag;
        info->size_state = UF_DRAW_CUSTOM_SIZE;
        info->size.custom_size[0] = sheet->height;
        info->size.custom_size[1] = sheet->width;
        info->drawing_scale = sheet->scale;
        info->units = sheet->units;
        info->projection_angle = sheet->projection;
        return UF_ok;
    });
}

int UF_DRAW_set_border_display(logical display) {
    return with_part([&](Part&, Document& doc) {
        doc.set_border_display(display != 0);
        return UF_ok;
    });
}

int UF_DRAW_ask_border_display(logical* display) {
    if (!display) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *display = doc.border_display() ? TRUE : FALSE;
        return UF_ok;
    });
}

int UF_DRAW_initialize_view_info(UF_DRAW_view_info_t* info) {
    if (!info) return UF_err_bad_argument;
    std::memset(info, 0, sizeof *info);
    info->view_status = 1;
    info->view_scale = 1.0;
    info->use_lt_wt = 1;
    return UF_ok;
}

int UF_DRAW_import_view(tag_t drawing, tag_t model_view, const double ref_point[2], UF_DRAW_view_info_t* info,
                        tag_t* view) {
    if (!ref_point || !view) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!drawing_of(doc, drawing)) return doc.find(drawing) ? UF_err_wrong_type : UF_err_bad_tag;
        const Object* source = doc.find(model_view);
        if (!source) return UF_err_bad_tag;
        const auto* model = source->as<cadhost::ModelViewData>();
        if (!model) return UF_err_wrong_type;
        double scale = info ? info->view_scale : 1.0;
        if (!(scale > 0) || !cadhost::api::finite(&scale, 1) || !cadhost::api::finite(ref_point, 2))
            return UF_err_bad_argument;
        DrawingViewData data;
        data.drawing = drawing;
        data.model_view = model_view;
        data.orientation = model->orientation;
        data.scale = scale;
        data.ref_x = ref_point[0];
        data.ref_y = ref_point[1];
        data.layers = current_layers(doc);
        *view = add_view(doc, drawing, std::move(data));
        return UF_ok;
    });
}

int UF_DRAW_add_orthographic_view(tag_t drawing, tag_t parent, int direction, const double ref_point[2], tag_t* view) {
    if (!ref_point || !view) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!drawing_of(doc, drawing)) return doc.find(drawing) ? UF_err_wrong_type : UF_err_bad_tag;
        if (int status = check_view(doc, parent)) return status;
        if (direction < UF_DRAW_project_above || direction > UF_DRAW_project_left) return UF_err_bad_argument;
        if (!cadhost::api::finite(ref_point, 2)) return UF_err_bad_argument;
        const DrawingViewData* from = view_of(doc, parent);
        if (from->drawing != drawing) return UF_err_bad_argument;
        DrawingViewData data;
        data.drawing = drawing;
        data.orientation = cadhost::drafting::child_orientation(from->orientation, direction);
        data.scale = from->scale;
        data.ref_x = ref_point[0];
        data.ref_y = ref_point[1];
        data.parent = parent;
        data.projection = direction;
        // A projection of the parent shows what the parent shows, the way the parent draws it; its erasures stay the
        // parent's own.
        data.layers = from->layers;
        data.display = from->display;
        *view = add_view(doc, drawing, std::move(data));
        return UF_ok;
    });
}

int UF_DRAW_set_view_scale(tag_t view, double scale) {
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        if (!(scale > 0) || !std::isfinite(scale)) return UF_err_bad_argument;
        DrawingViewData* data = view_of(doc, view);
        // A child view's scale is its parent's; the parent carries the change to its children.
        if (data->parent) return UF_err_not_supported;
        data->scale = scale;
        return UF_ok;
    });
}

int UF_DRAW_ask_view_scale(tag_t view, tag_t* expression, double* scale) {
    if (!scale) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        if (expression) *expression = NULL_TAG;
        *scale = cadhost::drafting::placement(doc, view).scale;
        return UF_ok;
    });
}

int UF_DRAW_set_drawing_ref_pt(tag_t drawing, tag_t view, const double ref_point[2]) {
    if (!ref_point) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        DrawingViewData* data = view_of(doc, view);
        if (drawing != NULL_TAG && data->drawing != drawing) return UF_err_bad_argument;
        if (!std::isfinite(ref_point[0]) || !std::isfinite(ref_point[1])) return UF_err_bad_argument;
        // A child view keeps its parent's axis; only the coordinate along its projection is its own.
        data->ref_x = ref_point[0];
        data->ref_y = ref_point[1];
        return UF_ok;
    });
}

int UF_DRAW_ask_drawing_ref_pt(tag_t view, double ref_point[2]) {
    if (!ref_point) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        auto placed = cadhost::drafting::placement(doc, view);
        ref_point[0] = placed.ref_x;
        ref_point[1] = placed.ref_y;
        return UF_ok;
    });
}

int UF_DRAW_update_one_view(tag_t drawing, tag_t view) {
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        if (drawing != NULL_TAG && view_of(doc, view)->drawing != drawing) return UF_err_bad_argument;
        return UF_ok;
    });
}

int UF_DRAW_ask_view_display(tag_t view, UF_DRAW_view_prefs_t* prefs) {
    if (!prefs) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        const cadhost::ViewDisplay& d = view_of(doc, view)->display;
        std::memset(prefs, 0, sizeof *prefs);
        prefs->hidden_line_removal = d.hidden_line_removal;
        prefs->visible_edge_width = d.visible_edge_width;
        prefs->hidden_edges = d.hidden_edges;
        prefs->silhouettes = d.silhouettes;
        prefs->smooth_edges = d.smooth_edges;
        prefs->uv_grid_lines = d.uv_grid_lines;
        prefs->hidden_by_other_bodies = d.hidden_by_other_bodies;
        return UF_ok;
    });
}

int UF_DRAW_set_view_display(tag_t view, const UF_DRAW_view_prefs_t* prefs) {
    if (!prefs) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (int status = check_view(doc, view)) return status;
        cadhost::ViewDisplay& d = view_of(doc, view)->display;
        d.hidden_line_removal = prefs->hidden_line_removal;
        d.visible_edge_width = prefs->visible_edge_width;
        d.hidden_edges = prefs->hidden_edges;
        d.silhouettes = prefs->silhouettes;
        d.smooth_edges = prefs->smooth_edges;
        d.uv_grid_lines = prefs->uv_grid_lines;
        d.hidden_by_other_bodies = prefs->hidden_by_other_bodies;
        return UF_ok;
    });
}

}  // extern "C"
