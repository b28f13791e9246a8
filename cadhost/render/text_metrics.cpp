#include "cadhost/render/text_metrics.h"

#include <cmath>
#include <map>
#include <string>
#include <tuple>

#include <pango/pangocairo.h>

#include "cadhost/render/text_placement.h"

namespace cadhost::render {

namespace {

// Sizes are measured at a large em and scaled: unhinted metrics scale linearly.
constexpr double kProbeEm = 100.0;

// One font map and context per thread: pango's objects may not be shared between threads, and sheets are drawn side by
// side.
struct Measurer {
    PangoFontMap* map = nullptr;
    PangoContext* context = nullptr;
    PangoFontDescription* font = nullptr;
    double capital_per_em = kCapitalHeightPerEm;
    double ascent = 0.0, descent = 0.0;                          // per em
    std::map<std::tuple<std::string, double>, double> advances;  // per em, by text and spacing per em

    Measurer() {
        map = pango_cairo_font_map_new();
        context = pango_font_map_create_context(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, FALSE);
        font = pango_font_description_from_string(kSheetFontFamilies);
        pango_font_description_set_absolute_size(font, kProbeEm * PANGO_SCALE);
        PangoLayout* probe = layout("H", 0.0);
        PangoRectangle ink;
        pango_layout_get_extents(probe, &ink, nullptr);
        g_object_unref(probe);
        const double measured = ink.height / static_cast<double>(PANGO_SCALE) / kProbeEm;
        if (measured > 0.3 && measured < 1.0) capital_per_em = measured;
        PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
        ascent = pango_font_metrics_get_ascent(metrics) / static_cast<double>(PANGO_SCALE) / kProbeEm;
        descent = pango_font_metrics_get_descent(metrics) / static_cast<double>(PANGO_SCALE) / kProbeEm;
        pango_font_metrics_unref(metrics);
        if (!(ascent > 0.3 && ascent < 2.0)) ascent = 0.8;
        if (!(descent >= 0.0 && descent < 1.0)) descent = 0.2;
    }
    ~Measurer() {
        pango_font_description_free(font);
        g_object_unref(context);
        g_object_unref(map);
    }
    Measurer(const Measurer&) = delete;
    Measurer& operator=(const Measurer&) = delete;

    PangoLayout* layout(const std::string& text, double spacing_per_em) const {
        PangoLayout* out = pango_layout_new(context);
        pango_layout_set_font_description(out, font);
        pango_layout_set_text(out, text.c_str(), static_cast<int>(text.size()));
        if (spacing_per_em != 0.0) {
            PangoAttrList* attributes = pango_attr_list_new();
            pango_attr_list_insert(
                attributes, pango_attr_letter_spacing_new(static_cast<int>(spacing_per_em * kProbeEm * PANGO_SCALE)));
            pango_layout_set_attributes(out, attributes);
            pango_attr_list_unref(attributes);
        }
        return out;
    }

    double advance_per_em(const std::string& text, double spacing_per_em) {
        auto key = std::make_tuple(text, spacing_per_em);
        if (auto found = advances.find(key); found != advances.end()) return found->second;
        PangoLayout* probe = layout(text, spacing_per_em);
        PangoRectangle logical;
        pango_layout_get_extents(probe, nullptr, &logical);
        g_object_unref(probe);
        const double advance = logical.width / static_cast<double>(PANGO_SCALE) / kProbeEm;
        advances.emplace(std::move(key), advance);
        return advance;
    }
};

Measurer& measurer() {
    thread_local Measurer one;
    return one;
}

}  // namespace

TextExtent measure_text(const Text& text) {
    TextExtent out;
    if (text.height <= 0.0 || text.width_factor <= 0.0) return out;
    Measurer& m = measurer();
    const double em = text.height / m.capital_per_em;
    // As the PDF writer sets it: spacing in sheet mm along the text, laid out before the width factor stretches it.
    const double spacing_per_em = text.spacing_factor * text.height / text.width_factor / em;
    out.advance = text.text.empty() ? 0.0 : m.advance_per_em(text.text, spacing_per_em) * em * text.width_factor;
    out.ascent = m.ascent * em;
    out.descent = m.descent * em;
    return out;
}

std::array<Point2, 4> text_ink_corners(const Text& text, const TextExtent& extent) {
    const TextPlacement placement = placement_of(text.alignment);
    // In the text's frame, y up from the baseline; the anchor is at (0, baseline_below_anchor).
    const double baseline = -baseline_below_anchor(placement, text.height);
    const double middle = baseline + (extent.ascent - extent.descent) / 2;
    const double half_ink = 0.4 * text.height / kCapitalHeightPerEm;
    const double x0 = -placement.horizontal * extent.advance, x1 = x0 + extent.advance;
    const double y0 = middle - half_ink, y1 = middle + half_ink;
    const double c = std::cos(text.angle), s = std::sin(text.angle);
    auto at = [&](double x, double y) { return Point2{text.anchor.x + c * x - s * y, text.anchor.y + s * x + c * y}; };
    return {at(x0, y0), at(x1, y0), at(x1, y1), at(x0, y1)};
}

}  // namespace cadhost::render
