// Lettering, notes, labels, linear and ordinate dimensions on the current drawing.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <sstream>

#include "cadhost/api/boundary.h"
#include "cadhost/drafting/annotation_geometry.h"
#include "host/uf_drf.h"

using cadhost::AnnotationAnchor;
using cadhost::AnnotationData;
using cadhost::AnnotationStyle;
using cadhost::Document;
using cadhost::DraftingPreferences;
using cadhost::Object;
using cadhost::Part;
using cadhost::api::with_part;

static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text) + offsetof(UF_DRF_lettering_t, size) == 168);
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text) +
                  offsetof(UF_DRF_lettering_t, char_space_factor) ==
              176);
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text) + offsetof(UF_DRF_lettering_t, aspect_ratio) ==
              184);

namespace {

void to_c(const cadhost::Lettering& in, UF_DRF_lettering_t& out) {
    out.font = in.font;
    out.width = in.width;
    out.size = in.size;
    out.char_space_factor = in.char_space_factor;
    out.aspect_ratio = in.aspect_ratio;
    out.line_space_factor = in.line_space_factor;
    out.reserved = 0.0;
}

bool from_c(const UF_DRF_lettering_t& in, cadhost::Lettering& out) {
    if (!(in.size > 0 && in.size < 1000) || !(in.aspect_ratio > 0 && in.aspect_ratio < 100) ||
        !std::isfinite(in.char_space_factor) || !std::isfinite(in.line_space_factor))
        return false;
    out.font = in.font;
    out.width = in.width;
    out.size = in.size;
    out.char_space_factor = in.char_space_factor;
    out.aspect_ratio = in.aspect_ratio;
    out.line_space_factor = in.line_space_factor;
    return true;
}

// Notes and labels keep the general lettering; dimensions the dimension lettering and the number format.
AnnotationStyle style_now(const Document& doc, bool dimension) {
    const DraftingPreferences& p = doc.drafting_preferences();
    const cadhost::Lettering l =
        p.lettering_of(dimension ? DraftingPreferences::kDimensionText : DraftingPreferences::kGeneralText);
    AnnotationStyle s;
    s.height = l.size;
    s.aspect_ratio = l.aspect_ratio;
    s.char_space = l.char_space_factor;
    s.line_space = l.line_space_factor >= 0 ? l.line_space_factor : 1.0;
    s.arrow_angle = p.mpr[27] >= 5 && p.mpr[27] <= 90 ? p.mpr[27] : 20.0;
    s.origin_symbol = p.mpr[5] > 0 ? p.mpr[5] : 3.0;
    s.alignment = p.mpi[30] >= 1 && p.mpi[30] <= 9 ? p.mpi[30] : 5;
    s.angle = p.text_angle;
    s.leader_side = p.mpi[1] == 2 ? 2 : 1;
    s.arrow_length = p.mpr[9] > 0 ? p.mpr[9] : 3.0;
    s.decimals = p.mpi[9];
    s.trailing_zeros = p.mpi[90] != 0;
    s.text_gap = p.mpr[34] >= 0 ? p.mpr[34] : 1.0;
    s.manual_text = p.mpi[3] == 2;
    s.arrowhead = p.mpi[6] == 1 || p.mpi[6] == 8 ? p.mpi[6] : 2;
    s.extension_lines = p.mpi[7] >= 1 && p.mpi[7] <= 4 ? p.mpi[7] : 1;
    s.inches = p.mpi[13] == 2;
    s.dual = p.mpi[16] == 2;
    return s;
}

std::vector<std::string> split_lines(const char* text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

bool finite2(const double* p) { return p && std::isfinite(p[0]) && std::isfinite(p[1]); }

// The annotation a tag names, when it is of the kind wanted; its status otherwise.
int annotation_of_kind(const Document& doc, tag_t tag, AnnotationData::Kind kind, const AnnotationData*& out) {
    const Object* object = doc.find(tag);
    if (!object) return UF_err_bad_tag;
    out = object->as<AnnotationData>();
    return out && out->kind == kind ? UF_ok : UF_err_wrong_type;
}

tag_t add_annotation(Document& doc, AnnotationData data, int subtype) {
    Object object;
    object.type = UF_drafting_entity_type;
    object.subtype = subtype;
    object.payload = std::move(data);
    return doc.add(std::move(object), false);
}

// Checks an anchor record: the object exists and can be measured, the view is a drawing view of the current sheet.
int anchor_from(Document& doc, const UF_DRF_object_t* in, AnnotationAnchor& out) {
    if (!in) return UF_err_bad_argument;
    const Object* object = doc.find(in->object_tag);
    if (!object) return UF_err_bad_tag;
    const Object* view = doc.find(in->object_view_tag);
    if (!view) return UF_err_bad_tag;
    const auto* data = view->as<cadhost::DrawingViewData>();
    if (!data) return UF_err_wrong_type;
    if (data->drawing != doc.current_drawing()) return UF_err_bad_argument;
    out = AnnotationAnchor{in->object_tag, in->object_view_tag, in->object_assoc_modifier == 2 ? 2 : 1};
    if (!cadhost::drafting::anchor_model_point(doc, out)) return UF_err_wrong_type;
    return UF_ok;
}

bool utf8_lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (!cadhost::is_utf8(line)) return false;
    return true;
}

std::vector<std::string> text_lines(const UF_DRF_text_t* text) {
    std::vector<std::string> lines{text && text->user_dim_text ? text->user_dim_text : ""};
    if (text && text->appended_text) {
        for (int i = 0; i < text->lines_app_text; ++i)
            lines.emplace_back(text->appended_text[i] ? text->appended_text[i] : "");
    }
    return lines;
}

int linear_dim(UF_DRF_object_p_t object1, UF_DRF_object_p_t object2, UF_DRF_text_t* text, const double origin[3],
               tag_t* dimension, AnnotationData::Kind kind) {
    if (!dimension || !finite2(origin)) return UF_err_bad_argument;
    if (text && text->lines_app_text < 0) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (doc.current_drawing() == NULL_TAG) return UF_err_no_drawing;
        AnnotationData data;
        data.kind = kind;
        data.drawing = doc.current_drawing();
        if (int status = anchor_from(doc, object1, data.first)) return status;
        if (int status = anchor_from(doc, object2, data.second)) return status;
        data.lines = text_lines(text);
        if (!utf8_lines(data.lines)) return UF_err_bad_argument;
        data.origin_x = origin[0];
        data.origin_y = origin[1];
        data.style = style_now(doc, true);
        *dimension = add_annotation(doc, std::move(data), UF_draft_linear_dim_subtype);
        return UF_ok;
    });
}

}  // namespace

extern "C" {

int UF_DRF_ask_lettering_preferences(UF_DRF_lettering_preferences_t* lettering) {
    if (!lettering) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const DraftingPreferences& p = doc.drafting_preferences();
        std::memset(lettering, 0, sizeof *lettering);
        lettering->align_position = p.mpi[30];
        lettering->text_angle = p.text_angle;
        to_c(p.lettering_of(DraftingPreferences::kDimensionText), lettering->dimension_text);
        to_c(p.lettering_of(DraftingPreferences::kAppendedText), lettering->appended_text);
        to_c(p.lettering_of(DraftingPreferences::kToleranceText), lettering->tolerance_text);
        to_c(p.lettering_of(DraftingPreferences::kGeneralText), lettering->general_text);
        return UF_ok;
    });
}

int UF_DRF_set_lettering_preferences(const UF_DRF_lettering_preferences_t* lettering) {
    if (!lettering) return UF_err_bad_argument;
    if (lettering->align_position < 1 || lettering->align_position > 9 || !std::isfinite(lettering->text_angle))
        return UF_err_bad_argument;
    cadhost::Lettering groups[4];
    if (!from_c(lettering->dimension_text, groups[0]) || !from_c(lettering->appended_text, groups[1]) ||
        !from_c(lettering->tolerance_text, groups[2]) || !from_c(lettering->general_text, groups[3]))
        return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        DraftingPreferences p = doc.drafting_preferences();
        for (int kind = 0; kind < 4; ++kind) p.set_lettering(kind, groups[kind]);
        p.mpi[30] = lettering->align_position;
        p.text_angle = lettering->text_angle;
        doc.set_drafting_preferences(p);
        return UF_ok;
    });
}

int UF_DRF_create_note(int num_lines, const char* text, const double origin[3], int orientation, tag_t* note) {
    if (num_lines < 1 || !text || !finite2(origin) || !note || !cadhost::is_utf8(text)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (doc.current_drawing() == NULL_TAG) return UF_err_no_drawing;
        AnnotationData data;
        data.kind = AnnotationData::Kind::Note;
        data.drawing = doc.current_drawing();
        data.lines = split_lines(text);
        data.origin_x = origin[0];
        data.origin_y = origin[1];
        data.style = style_now(doc, false);
        data.style.change([&](AnnotationStyle& s) { s.angle = orientation; });
        *note = add_annotation(doc, std::move(data), UF_draft_note_subtype);
        return UF_ok;
    });
}

int UF_DRF_create_label(int num_lines, const char* text, const double origin[3], int leader_attach_type,
                        UF_DRF_object_p_t /*object*/, const double leader_point[3], tag_t* label) {
    if (num_lines < 1 || !text || !finite2(origin) || !finite2(leader_point) || !label || !cadhost::is_utf8(text))
        return UF_err_bad_argument;
    if (leader_attach_type != UF_DRF_leader_attach_screen) return UF_err_not_supported;
    return with_part([&](Part&, Document& doc) {
        if (doc.current_drawing() == NULL_TAG) return UF_err_no_drawing;
        AnnotationData data;
        data.kind = AnnotationData::Kind::Label;
        data.drawing = doc.current_drawing();
        data.lines = split_lines(text);
        data.origin_x = origin[0];
        data.origin_y = origin[1];
        data.leader_x = leader_point[0];
        data.leader_y = leader_point[1];
        data.style = style_now(doc, false);
        *label = add_annotation(doc, std::move(data), UF_draft_label_subtype);
        return UF_ok;
    });
}

int UF_DRF_init_object_structure(UF_DRF_object_p_t object) {
    if (!object) return UF_err_bad_argument;
    std::memset(object, 0, sizeof *object);
    object->object_assoc_type = UF_DRF_end_point;
    return UF_ok;
}

int UF_DRF_create_horizontal_dim(UF_DRF_object_p_t object1, UF_DRF_object_p_t object2, UF_DRF_text_t* text,
                                 const double dim_origin[3], tag_t* dimension) {
    return linear_dim(object1, object2, text, dim_origin, dimension, AnnotationData::Kind::Horizontal);
}

int UF_DRF_create_vertical_dim(UF_DRF_object_p_t object1, UF_DRF_object_p_t object2, UF_DRF_text_t* text,
                               const double dim_origin[3], tag_t* dimension) {
    return linear_dim(object1, object2, text, dim_origin, dimension, AnnotationData::Kind::Vertical);
}

int UF_DRF_create_ordorigin(UF_DRF_object_p_t object, int display_flag, int /*name_flag*/, int /*name_side*/,
                            const char* name, tag_t* origin) {
    if (!origin) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        if (doc.current_drawing() == NULL_TAG) return UF_err_no_drawing;
        AnnotationData data;
        data.kind = AnnotationData::Kind::OrdinateOrigin;
        data.drawing = doc.current_drawing();
        if (int status = anchor_from(doc, object, data.first)) return status;
        data.show_symbol = display_flag != 0;
        data.name = name ? name : "";
        data.style = style_now(doc, true);
        *origin = add_annotation(doc, std::move(data), UF_draft_ordinate_origin_subtype);
        return UF_ok;
    });
}

int UF_DRF_create_ordmargin(int type, tag_t origin, UF_DRF_object_p_t object, const double /*point*/[3],
                            const double /*direction*/[2], double offset, tag_t* margin) {
    if (!margin || !std::isfinite(offset)) return UF_err_bad_argument;
    if (type != UF_DRF_ORD_HORIZONTAL_MARGIN && type != UF_DRF_ORD_VERTICAL_MARGIN) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const AnnotationData* origin_data = nullptr;
        if (int status = annotation_of_kind(doc, origin, AnnotationData::Kind::OrdinateOrigin, origin_data))
            return status;
        AnnotationData data;
        data.kind = AnnotationData::Kind::OrdinateMargin;
        data.drawing = origin_data->drawing;
        data.margin = origin;
        data.margin_type = type;
        data.offset = offset;
        if (object && object->object_tag != NULL_TAG) {
            if (int status = anchor_from(doc, object, data.first)) return status;
        }
        data.style = style_now(doc, true);
        *margin = add_annotation(doc, std::move(data), UF_draft_ordinate_margin_subtype);
        return UF_ok;
    });
}

int UF_DRF_create_orddimension(tag_t margin, int /*dim_type*/, UF_DRF_object_p_t object, double dogleg_angle,
                               double dogleg_distance, UF_DRF_text_t* text, int /*text_kind*/,
                               const double text_point[3], tag_t* dimension) {
    if (!dimension || !std::isfinite(dogleg_angle) || !std::isfinite(dogleg_distance)) return UF_err_bad_argument;
    if (text_point && !finite2(text_point)) return UF_err_bad_argument;
    return with_part([&](Part&, Document& doc) {
        const AnnotationData* margin_data = nullptr;
        if (int status = annotation_of_kind(doc, margin, AnnotationData::Kind::OrdinateMargin, margin_data))
            return status;
        AnnotationData data;
        data.kind = AnnotationData::Kind::Ordinate;
        data.drawing = margin_data->drawing;
        data.margin = margin;
        if (int status = anchor_from(doc, object, data.first)) return status;
        data.lines = text_lines(text);
        if (!utf8_lines(data.lines)) return UF_err_bad_argument;
        data.dogleg_angle = dogleg_angle;
        data.dogleg_distance = dogleg_distance;
        // A coordinate along the margin other than zero moves the value there.
        const double along =
            text_point ? (margin_data->margin_type == UF_DRF_ORD_HORIZONTAL_MARGIN ? text_point[0] : text_point[1])
                       : 0.0;
        data.text_moved = along != 0.0;
        data.origin_x = margin_data->margin_type == UF_DRF_ORD_HORIZONTAL_MARGIN ? along : 0.0;
        data.origin_y = margin_data->margin_type == UF_DRF_ORD_VERTICAL_MARGIN ? along : 0.0;
        data.style = style_now(doc, true);
        *dimension = add_annotation(doc, std::move(data), UF_draft_ordinate_dim_subtype);
        return UF_ok;
    });
}

}  // extern "C"
