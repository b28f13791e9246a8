// How the two line weights and three patterns of a sheet look on paper, shared by every writer so that PDF, SVG and
// DXF show the same dashes.
#ifndef CADHOST_RENDER_LINE_STYLE_H
#define CADHOST_RENDER_LINE_STYLE_H

#include <set>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

inline double line_width_mm(LineWeight weight) {
    return weight == LineWeight::Heavy ? 0.7 : weight == LineWeight::Wide ? 0.5 : 0.25;
}

inline constexpr LineWeight kLineWeights[] = {LineWeight::Thin, LineWeight::Wide, LineWeight::Heavy};
inline constexpr LinePattern kLinePatterns[] = {LinePattern::Continuous, LinePattern::Dashed, LinePattern::Chain};

// The inks of a sheet's lines, black first: writers that draw the lines ink by ink then draw a sheet without colours
// exactly as they did before bodies had colours.
inline std::vector<std::uint32_t> sheet_inks(const SheetGraphics& sheet) {
    std::set<std::uint32_t> inks{0};
    for_each_polyline(sheet, [&inks](const Polyline& p) { inks.insert(p.stroke.ink); });
    for (const Arc& a : sheet.arcs) inks.insert(a.stroke.ink);
    for (const Ellipse& e : sheet.ellipses) inks.insert(e.stroke.ink);
    for (const Spline& s : sheet.splines) inks.insert(s.stroke.ink);
    return {inks.begin(), inks.end()};
}

// The ink's components, 0 to 1.
inline double ink_part(std::uint32_t ink, int shift) { return static_cast<double>((ink >> shift) & 0xFF) / 255.0; }

// On/off lengths in mm, starting with a dash. The lengths are those of a thin line and grow with the line's width, so
// a wide hidden edge keeps the proportions of a thin one (ISO 128 ties dash lengths to the line width).
inline std::vector<double> dash_pattern_mm(const Stroke& stroke) {
    const double scale = line_width_mm(stroke.weight) / 0.25;
    std::vector<double> pattern;
    switch (stroke.pattern) {
        case LinePattern::Continuous:
            break;
        case LinePattern::Dashed:
            pattern = {3.0, 1.5};
            break;
        case LinePattern::Chain:
            pattern = {10.0, 1.5, 1.0, 1.5};
            break;
    }
    for (double& length : pattern) length *= scale;
    return pattern;
}

}  // namespace cadhost::render

#endif
