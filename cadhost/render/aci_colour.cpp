#include "cadhost/render/aci_colour.h"

#include <cmath>
#include <limits>

namespace cadhost::render {

namespace {

std::uint32_t pack(double r, double g, double b) {
    auto byte = [](double v) { return static_cast<std::uint32_t>(std::lround(std::min(255.0, std::max(0.0, v)))); };
    return byte(r) << 16 | byte(g) << 8 | byte(b);
}

}  // namespace

// Indices 10 to 249 run round the hue circle in steps of 15 degrees, ten to a hue: five brightnesses, each at full
// and at half saturation; 250 to 255 are greys.
std::uint32_t aci_rgb(int index) {
    static constexpr std::uint32_t kFirst[10] = {0,        0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                                 0x0000FF, 0xFF00FF, 0x000000, 0x808080, 0xC0C0C0};
    if (index >= 1 && index <= 9) return kFirst[index];
    if (index >= 250 && index <= 255) {
        const double level = 51.0 + (index - 250) * 40.8;
        return pack(level, level, level);
    }
    if (index < 10 || index > 249) return 0;
    static constexpr double kValue[5] = {255.0, 165.0, 127.0, 76.0, 38.0};
    const int hue_step = (index - 10) / 10, shade = (index - 10) % 10;
    const double value = kValue[shade / 2];
    const double low = shade % 2 == 0 ? 0.0 : value / 2.0;  // odd: half saturation
    const double hue = hue_step * 15.0;
    // Each component follows the hue as in HSV: full over its third of the circle, ramping over the next sixths.
    auto component = [&](double centre) {
        double d = std::fmod(std::abs(hue - centre), 360.0);
        d = std::min(d, 360.0 - d);
        const double t = d <= 60.0 ? 1.0 : d >= 120.0 ? 0.0 : (120.0 - d) / 60.0;
        return low + (value - low) * t;
    };
    return pack(component(0.0), component(120.0), component(240.0));
}

int nearest_aci(std::uint32_t rgb) {
    const double r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 7;
    double best_distance = std::numeric_limits<double>::infinity();
    for (int index = 1; index <= 255; ++index) {
        const std::uint32_t c = aci_rgb(index);
        const double dr = r - ((c >> 16) & 0xFF), dg = g - ((c >> 8) & 0xFF), db = b - (c & 0xFF);
        // Weighted as the eye weighs the components, so a dark orange does not come out as a dark red.
        const double distance = 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (distance < best_distance) best_distance = distance, best = index;
    }
    return best;
}

}  // namespace cadhost::render
