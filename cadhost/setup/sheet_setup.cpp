#include "cadhost/setup/sheet_setup.h"

#include <charconv>
#include <cmath>

#include "cadhost/drafting/sheet_builder.h"
#include "host/sheet_setup.h"

namespace cadhost::setup {

namespace {

const Attribute* find(const Object& object, const char* title) {
    const std::string wanted = Document::fold_case(title);
    for (const auto& attribute : object.attributes)
        if (Document::fold_case(attribute.title) == wanted) return &attribute;
    return nullptr;
}

// A value of another type than the title's is treated as absent, as a hand-edited part may hold one.
template <typename T>
const T* value(const Object& object, const char* title) {
    const Attribute* attribute = find(object, title);
    return attribute ? std::get_if<T>(&attribute->value) : nullptr;
}

int integer(const Object& object, const char* title) {
    const int* v = value<int>(object, title);
    return v ? *v : 0;
}

std::string text(const Object& object, const char* title) {
    const std::string* v = value<std::string>(object, title);
    return v ? *v : std::string();
}

std::optional<std::array<double, 3>> triple(const Object& object, const char* x, const char* y, const char* z) {
    const double *a = value<double>(object, x), *b = value<double>(object, y), *c = value<double>(object, z);
    if (!a || !b || !c) return std::nullopt;
    return std::array<double, 3>{*a, *b, *c};
}

}  // namespace

std::optional<SheetSetup> sheet_setup(const Document& doc, tag_t drawing) {
    const Object* object = doc.find(drawing);
    if (!object || !object->as<DrawingData>()) return std::nullopt;
    // The page is written first of all: a drawing without one carries no setup.
    if (!value<int>(*object, SHEET_SETUP_PAGE)) return std::nullopt;
    const Object& o = *object;
    SheetSetup s;
    s.drawing = drawing;
    s.sheet = o.name;
    s.page = integer(o, SHEET_SETUP_PAGE);
    s.pages = integer(o, SHEET_SETUP_PAGES);
    s.electrode = text(o, SHEET_SETUP_NAME);
    s.layer = integer(o, SHEET_SETUP_LAYER);
    s.place = integer(o, SHEET_SETUP_PLACE);
    s.places = integer(o, SHEET_SETUP_PLACES);
    s.direction = integer(o, SHEET_SETUP_DIRECTION);
    s.edm_point = triple(o, SHEET_SETUP_EDM_X, SHEET_SETUP_EDM_Y, SHEET_SETUP_EDM_Z);
    if (const int* touch = value<int>(o, SHEET_SETUP_EDM_TOUCH)) s.edm_touch = *touch != 0;
    s.edm_model_point = triple(o, SHEET_SETUP_EDM_MODEL_X, SHEET_SETUP_EDM_MODEL_Y, SHEET_SETUP_EDM_MODEL_Z);
    s.top_view = text(o, SHEET_SETUP_TOP_VIEW);
    if (const double* depth = value<double>(o, SHEET_SETUP_DEPTH)) s.depth = *depth;
    if (const double* turn = value<double>(o, SHEET_SETUP_ROTATION); turn && std::isfinite(*turn)) s.rotation = *turn;
    s.rough_gap = text(o, SHEET_SETUP_ROUGH_GAP);
    s.finish_gap = text(o, SHEET_SETUP_FINISH_GAP);
    s.rough_count = text(o, SHEET_SETUP_ROUGH_COUNT);
    s.finish_count = text(o, SHEET_SETUP_FINISH_COUNT);
    s.special_rough_gap = text(o, SHEET_SETUP_T_ROUGH_GAP);
    s.special_finish_gap = text(o, SHEET_SETUP_T_FINISH_GAP);
    s.special_rough_count = text(o, SHEET_SETUP_T_ROUGH_COUNT);
    s.special_finish_count = text(o, SHEET_SETUP_T_FINISH_COUNT);
    s.box = triple(o, SHEET_SETUP_BOX_X, SHEET_SETUP_BOX_Y, SHEET_SETUP_BOX_Z);
    s.working = triple(o, SHEET_SETUP_WORK_X, SHEET_SETUP_WORK_Y, SHEET_SETUP_WORK_Z);
    s.chamfer_corner = integer(o, SHEET_SETUP_CHAMFER);
    s.note = text(o, SHEET_SETUP_NOTE);
    return s;
}

std::vector<SheetSetup> setups_of(const Document& doc) {
    std::vector<SheetSetup> out;
    for (tag_t drawing : drafting::drawings_of(doc))
        if (auto s = sheet_setup(doc, drawing)) out.push_back(std::move(*s));
    return out;
}

std::string direction_name(int direction) {
    switch (direction) {
        case 1:
            return "t";
        case -1:
            return "-t";
        case 2:
            return "f";
        case -2:
            return "-f";
        case 3:
            return "s";
        case -3:
            return "-s";
        default:
            return "";
    }
}

std::string burn_direction_name(int direction) {
    switch (direction) {
        case 1:
            return "-Z";
        case -1:
            return "+Z";
        case 2:
            return "+Y";
        case -2:
            return "-Y";
        case 3:
            return "-X";
        case -3:
            return "+X";
        default:
            return "";
    }
}

std::string millimetres(double value) {
    if (!std::isfinite(value)) return "";
    double rounded = std::round(value * 1000.0) / 1000.0;
    if (rounded == 0.0) rounded = 0.0;
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 3);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::string edm_point_kind(const SheetSetup& setup) {
    if (!setup.edm_touch) return "";
    return *setup.edm_touch ? "touch" : "reference";
}

std::string edm_point_kind_text(const SheetSetup& setup) {
    if (!setup.edm_touch) return "";
    return *setup.edm_touch ? "单边碰" : "基准点";
}

std::string degrees_text(const std::optional<double>& degrees) {
    if (!degrees || !std::isfinite(*degrees)) return "";
    double rounded = std::round(*degrees * 100.0) / 100.0;
    if (rounded == 0.0 || rounded == 360.0) rounded = 0.0;
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 2);
    if (result.ec != std::errc()) return "";
    std::string out(buffer, result.ptr);
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    return out;
}

}  // namespace cadhost::setup
