#include "cadhost/render/pdf_text.h"

#include <memory>

#include <pango/pangocairo.h>

#include "cadhost/render/printable_text.h"
#include "cadhost/render/text_placement.h"

namespace cadhost::render {
namespace {

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

struct FontDeleter {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
using FontPtr = std::unique_ptr<PangoFontDescription, FontDeleter>;

// Hinting snaps outlines and advances to device pixels, which in a PDF are points: a 3.5 mm text would come out with
// rounded widths. Unhinted metrics scale linearly, so a measurement at one size holds at every size.
LayoutPtr unhinted_layout(cairo_t* cr, double em_size) {
    LayoutPtr layout(pango_cairo_create_layout(cr));
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    PangoContext* context = pango_layout_get_context(layout.get());
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    // Pango rounds glyph positions to whole user units by default; ours are millimetres, so every advance would
    // grow to the next millimetre.
    pango_context_set_round_glyph_positions(context, FALSE);
    pango_layout_context_changed(layout.get());

    FontPtr font(pango_font_description_from_string(kSheetFontFamilies));
    pango_font_description_set_absolute_size(font.get(), em_size * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    return layout;
}

}  // namespace

PdfTextPainter::PdfTextPainter(cairo_t* cr) : capital_per_em_(kCapitalHeightPerEm) {
    constexpr double kProbeEm = 100.0;
    LayoutPtr probe = unhinted_layout(cr, kProbeEm);
    pango_layout_set_text(probe.get(), "H", -1);
    PangoRectangle ink;
    pango_layout_get_extents(probe.get(), &ink, nullptr);
    const double measured = ink.height / static_cast<double>(PANGO_SCALE) / kProbeEm;
    // A font without a Latin capital measures nothing; the nominal ratio is then the better guess.
    if (measured > 0.3 && measured < 1.0) capital_per_em_ = measured;
}

void PdfTextPainter::draw(cairo_t* cr, const Text& text) const {
    if (text.text.empty() || text.height <= 0.0 || text.width_factor <= 0.0) return;
    cairo_save(cr);
    cairo_translate(cr, text.anchor.x, text.anchor.y);
    cairo_rotate(cr, text.angle);
    // From here the text's own frame, y down as pango lays out.
    cairo_scale(cr, 1.0, -1.0);
    // The layout is made before the width factor enters the transformation: pango fits glyph positions to a
    // transformation it is given, and with unequal x and y scales it narrows the glyphs but not their advances.
    // Laid out unstretched, the whole line is then stretched alike.
    LayoutPtr layout = unhinted_layout(cr, text.height / capital_per_em_);
    cairo_scale(cr, text.width_factor, 1.0);
    const std::string shown = printable_text(text.text, true);
    pango_layout_set_text(layout.get(), shown.c_str(), -1);
    if (text.spacing_factor != 0.0) {
        // The spacing is sheet millimetres along the text, so it must not be stretched by the width factor.
        const double spacing = text.spacing_factor * text.height / text.width_factor;
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes, pango_attr_letter_spacing_new(static_cast<int>(spacing * PANGO_SCALE)));
        pango_layout_set_attributes(layout.get(), attributes);
        pango_attr_list_unref(attributes);
    }

    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const double advance = logical.width / static_cast<double>(PANGO_SCALE);
    const double baseline = pango_layout_get_baseline(layout.get()) / static_cast<double>(PANGO_SCALE);
    const TextPlacement placement = placement_of(text.alignment);
    cairo_move_to(cr, -placement.horizontal * advance - logical.x / static_cast<double>(PANGO_SCALE),
                  baseline_below_anchor(placement, text.height) - baseline);
    pango_cairo_show_layout(cr, layout.get());
    cairo_restore(cr);
}

}  // namespace cadhost::render
