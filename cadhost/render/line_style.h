// How the two line weights and three patterns of a sheet look on paper, shared by every writer so that PDF, SVG and
// DXF show the same dashes.
#ifndef CADHOST_RENDER_LINE_STYLE_H
#define CADHOST_RENDER_LINE_STYLE_H

#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

inline double line_width_mm(LineWeight weight) { return weight == LineWeight::Wide ? 0.5 : 0.25; }

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
