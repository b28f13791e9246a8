// Model views, the work view and drawing views seen by name; the display state; where model points land on sheets.
#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <gp_Ax1.hxx>
#include <gp_Trsf.hxx>

#include "cadhost/api/boundary.h"
#include "cadhost/drafting/view_frame.h"
#include "host/uf_draw.h"
#include "host/uf_view.h"

using cadhost::Document;
using cadhost::ModelViewData;
using cadhost::Object;
using cadhost::Part;
using cadhost::ViewOrientation;
using cadhost::api::with_part;

namespace {

bool empty(const char* text) { return !text || !text[0]; }

// Drawing views are found by their names, as the command knows them.
cadhost::DrawingViewData* drawing_view_named(Document& doc, const char* name) {
    if (empty(name)) return nullptr;
    for (tag_t tag = doc.next_by_name(name, NULL_TAG); tag != NULL_TAG; tag = doc.next_by_name(name, tag)) {
        if (auto* view = doc.find(tag)->as<cadhost::DrawingViewData>()) return view;
    }
    return nullptr;
}

ModelViewData* model_view(Document& doc, tag_t tag) {
    Object* object = doc.find(tag);
    return object ? object->as<ModelViewData>() : nullptr;
}

}  // namespace

extern "C" {

int UF_VIEW_rotate_view_abs_csys(tag_t view, const double center[3], const double axis[3], double angle,
                                 int /*update*/) {
    if (!center || !axis || !std::isfinite(angle) || !cadhost::api::finite(center, 3) || !cadhost::api::finite(axis, 3))
        return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        gp_Vec direction(axis[0], axis[1], axis[2]);
        if (direction.Magnitude() < 1e-12) return UF_err_bad_argument;
        ViewOrientation orientation = doc.work_view();
        ModelViewData* named = nullptr;
        if (view != NULL_TAG) {
            named = model_view(doc, view);
            if (!named) return doc.find(view) ? UF_err_wrong_type : UF_err_bad_tag;
            orientation = named->orientation;
        }
        // Turning the model by R shows each point where R would carry it, so the view's axes turn by R inverted.
        gp_Trsf turn;
        turn.SetRotation(gp_Ax1(cadhost::api::from_c(center), gp_Dir(direction)), angle * M_PI / 180.0);
        gp_Trsf back = turn.Inverted();
        orientation.right.Transform(back);
        orientation.up.Transform(back);
        orientation.toward_eye.Transform(back);
        if (named)
            named->orientation = orientation;
        else
            doc.set_work_view(orientation);
        return UF_ok;
    });
}

int uc6464(const char* layout, const char* old_view, const char* new_view) {
    return with_part([&](Part&, Document& doc) {
        // The host keeps one layout with one view, the work view.
        if (!empty(layout) || !empty(old_view)) return UF_err_not_supported;
        if (empty(new_view)) return UF_err_bad_argument;
        tag_t source = doc.find_model_view(new_view);
        if (source == NULL_TAG) return UF_err_view_not_found;
        doc.set_work_view(model_view(doc, source)->orientation);
        return UF_ok;
    });
}

int uc6450(const char* old_view, const char* new_view, int /*save_layers*/, int /*save_scale*/) {
    return with_part([&](Part&, Document& doc) {
        if (empty(new_view)) return UF_err_bad_argument;
        if (std::strlen(new_view) > UF_OBJ_NAME_LEN) return UF_err_name_too_long;
        ViewOrientation orientation = doc.work_view();
        if (!empty(old_view)) {
            tag_t source = doc.find_model_view(old_view);
            if (source == NULL_TAG) return UF_err_view_not_found;
            orientation = model_view(doc, source)->orientation;
        }
        if (tag_t existing = doc.find_model_view(new_view)) {
            model_view(doc, existing)->orientation = orientation;
            return UF_ok;
        }
        Object view;
        view.type = UF_view_type;
        view.subtype = UF_view_normal_subtype;
        view.name = new_view;
        view.payload = ModelViewData{orientation};
        doc.add(std::move(view), false);
        return UF_ok;
    });
}

int UF_VIEW_map_model_to_drawing(tag_t view, const double model_point[3], double drawing_point[2]) {
    if (!model_point || !drawing_point || !cadhost::api::finite(model_point, 3)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* object = doc.find(view);
        if (!object) return UF_err_bad_tag;
        if (!object->as<cadhost::DrawingViewData>()) return UF_err_wrong_type;
        cadhost::drafting::placement(doc, view).map(cadhost::api::from_c(model_point), drawing_point);
        return UF_ok;
    });
}

int UF_VIEW_ask_visible_objects(tag_t view, int* n_visible, tag_t** visible, int* n_clipped, tag_t** clipped) {
    if (!n_visible || !visible || !n_clipped || !clipped) return UF_err_bad_argument;
    *n_visible = *n_clipped = 0;
    *visible = *clipped = nullptr;
    return with_part([&](Part&, Document& doc) {
        const Object* object = doc.find(view);
        if (!object) return UF_err_bad_tag;
        const auto* data = object->as<cadhost::DrawingViewData>();
        if (!data) return UF_err_wrong_type;
        auto shown = cadhost::drafting::shown_objects(doc, *data);
        auto* out = static_cast<tag_t*>(std::malloc(sizeof(tag_t) * (shown.empty() ? 1 : shown.size())));
        auto* none = static_cast<tag_t*>(std::malloc(sizeof(tag_t)));
        if (!out || !none) {
            std::free(out);
            std::free(none);
            return UF_err_no_memory;
        }
        std::copy(shown.begin(), shown.end(), out);
        *visible = out;
        *n_visible = static_cast<int>(shown.size());
        *clipped = none;
        return UF_ok;
    });
}

int uc6400(const char* view_name, tag_t object) {
    return with_part([&](Part&, Document& doc) {
        auto* view = drawing_view_named(doc, view_name);
        if (!view) return UF_err_view_not_found;
        if (!doc.find(object)) return UF_err_bad_tag;
        if (std::find(view->erased.begin(), view->erased.end(), object) == view->erased.end())
            view->erased.push_back(object);
        return UF_ok;
    });
}

int uc6446(const char* view_name, int* count, int layers[]) {
    if (!count || !layers) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        auto* view = drawing_view_named(doc, view_name);
        if (!view) return UF_err_view_not_found;
        for (int l = 0; l < UF_LAYER_MAX_LAYER; ++l) layers[l] = view->layers[l] ? 1 : 0;
        *count = UF_LAYER_MAX_LAYER;
        return UF_ok;
    });
}

int uc6447(const char* view_name, int count, const int layers[]) {
    if (!layers || count < 0 || count > UF_LAYER_MAX_LAYER) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        auto* view = drawing_view_named(doc, view_name);
        if (!view) return UF_err_view_not_found;
        for (int l = 0; l < count; ++l) view->layers[l] = layers[l] != 0;
        return UF_ok;
    });
}

int UF_DRAW_ask_display_state(int* state) {
    if (!state) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *state = doc.display_state();
        return UF_ok;
    });
}

int UF_DRAW_set_display_state(int state) {
    return with_part([&](Part&, Document& doc) {
        if (state == UF_DRAW_MODEL_DISPLAY) {
            doc.set_display_state(state);
            return UF_ok;
        }
        if (state != UF_DRAW_DRAWING_DISPLAY) return UF_err_bad_argument;
        if (doc.current_drawing() == NULL_TAG) return UF_err_no_drawing;
        doc.set_display_state(state);
        return UF_ok;
    });
}

}  // extern "C"
