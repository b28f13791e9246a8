// Objects: type, display properties, names, layer, blank status, font, deletion.
#include <cstdlib>
#include <cstring>

#include "cadhost/api/boundary.h"
#include "host/uf_obj.h"

using cadhost::Document;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

namespace {

// Objects a view can show; faces and edges are shown as part of their body.
bool displayable(const Object& object) {
    switch (object.type) {
        case UF_point_type:
        case UF_line_type:
        case UF_circle_type:
        case UF_spline_type:
        case UF_solid_type:
            return true;
        default:
            return false;
    }
}

// The display properties of a face or edge are those of its body.
const Object& display_owner(const Document& doc, const Object& object) {
    if (const auto* sub = object.as<cadhost::SubShapeData>()) {
        if (const Object* body = doc.find(sub->body)) return *body;
    }
    return object;
}

}  // namespace

extern "C" {

int UF_OBJ_ask_type_and_subtype(tag_t object, int* type, int* subtype) {
    if (!type || !subtype) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        *type = found->type;
        *subtype = found->subtype;
        return UF_ok;
    });
}

int UF_OBJ_ask_display_properties(tag_t object, UF_OBJ_disp_props_t* props) {
    if (!props) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        const Object& owner = display_owner(doc, *found);
        props->layer = owner.layer;
        props->color = owner.color;
        props->blank_status = owner.blank_status;
        props->line_width = owner.line_width;
        props->font = found->font;
        props->highlight_status = FALSE;
        return UF_ok;
    });
}

int UF_OBJ_ask_name(tag_t object, char name[UF_OBJ_NAME_BUFSIZE]) {
    if (!name) return UF_err_bad_argument;
    name[0] = '\0';
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (found->name.empty()) return UF_err_no_name;
        return cadhost::api::copy_text(found->name, name, UF_OBJ_NAME_BUFSIZE) ? UF_ok : UF_err_buffer_too_small;
    });
}

int UF_OBJ_set_name(tag_t object, const char* name) {
    if (!name || !cadhost::is_utf8(name)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (!doc.find(object)) return UF_err_bad_tag;
        if (std::strlen(name) > UF_OBJ_NAME_LEN) return UF_err_name_too_long;
        doc.set_name(object, name);
        return UF_ok;
    });
}

int UF_OBJ_cycle_by_name(const char* name, tag_t* object) {
    if (!name || !object) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        *object = name[0] ? doc.next_by_name(name, *object) : NULL_TAG;
        return UF_ok;
    });
}

int UF_OBJ_set_layer(tag_t object, int layer) {
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (!Document::valid_layer(layer)) return UF_err_bad_layer;
        if (found->layer == 0) return UF_err_wrong_type;
        doc.set_layer(object, layer);
        return UF_ok;
    });
}

int UF_OBJ_set_blank_status(tag_t object, int blank_status) {
    return with_part([&](Part&, Document& doc) {
        Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (blank_status != UF_OBJ_NOT_BLANKED && blank_status != UF_OBJ_BLANKED) return UF_err_bad_argument;
        if (!displayable(*found) || found->as<cadhost::SubShapeData>()) return UF_err_wrong_type;
        found->blank_status = blank_status;
        return UF_ok;
    });
}

int UF_OBJ_set_font(tag_t object, int font) {
    return with_part([&](Part&, Document& doc) {
        Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (font < UF_OBJ_FONT_SOLID || font > UF_OBJ_FONT_CENTERLINE) return UF_err_bad_argument;
        found->font = font;
        return UF_ok;
    });
}

int UF_OBJ_set_color(tag_t object, int color) {
    return with_part([&](Part&, Document& doc) {
        Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        if (color < 1 || color > 216) return UF_err_bad_argument;
        found->color = color;
        return UF_ok;
    });
}

int UF_OBJ_delete_object(tag_t object) {
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        // The part, its coordinate system and the faces and edges of live bodies are not the caller's to delete.
        if (found->type == UF_part_type || found->type == UF_coordinate_system_type || found->type == UF_matrix_type ||
            found->as<cadhost::SubShapeData>())
            return UF_err_wrong_type;
        doc.remove(object);
        return UF_ok;
    });
}

int UF_OBJ_delete_array_of_objects(int count, const tag_t* objects, int** statuses) {
    if (count < 0 || (count > 0 && !objects)) return UF_err_bad_argument;
    int* out = nullptr;
    if (statuses) {
        out = static_cast<int*>(std::calloc(count > 0 ? count : 1, sizeof(int)));
        if (!out) return UF_err_no_memory;
        *statuses = out;
    }
    int first_failure = UF_ok;
    for (int i = 0; i < count; ++i) {
        int status = UF_OBJ_delete_object(objects[i]);
        if (out) out[i] = status;
        if (status != UF_ok && first_failure == UF_ok) first_failure = status;
    }
    return first_failure;
}

int UF_OBJ_is_displayable(tag_t object, int* is_displayable) {
    if (!is_displayable) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const Object* found = doc.find(object);
        if (!found) return UF_err_bad_tag;
        *is_displayable = displayable(*found) ? 1 : 0;
        return UF_ok;
    });
}

}  // extern "C"
