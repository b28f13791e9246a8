#include "cadhost/render/dxf_layers.h"

#include <array>
#include <cmath>
#include <string_view>

#include "cadhost/render/line_style.h"

namespace cadhost::render {

std::string dxf_layer_name(const std::string& layer) {
    if (layer.empty()) return "0";
    std::string name = layer;
    for (char& c : name)
        if (std::string_view("<>/\\\":;?*|=`,").find(c) != std::string_view::npos) c = '_';
    return name;
}

// The table defines each pattern, which is all most readers use. Readers that know patterns only by name draw their
// own: HIDDEN2 is the usual name of the 3/1.5 mm hidden line, and CENTERTINY the name under which such readers keep
// a chain short enough to show on the short centre lines of small holes.
const char* dxf_linetype_name(LinePattern pattern) {
    switch (pattern) {
        case LinePattern::Dashed:
            return "HIDDEN2";
        case LinePattern::Chain:
            return "CENTERTINY";
        case LinePattern::Continuous:
            break;
    }
    return "CONTINUOUS";
}

std::string dxf_hidden_layer_name(const std::string& layer) {
    constexpr std::string_view kView = "VIEW-";
    const std::string name = dxf_layer_name(layer);
    if (name.size() > kView.size() && name.starts_with(kView)) return "HID-" + name.substr(kView.size());
    return name + "-HID";
}

namespace {

int hundredths(LineWeight weight) { return static_cast<int>(std::lround(line_width_mm(weight) * 100.0)); }

}  // namespace

std::size_t DxfLayers::note(const std::string& name) {
    const auto [found, added] = index_.try_emplace(name, layers_.size());
    if (added) layers_.push_back(DxfLayer{name});
    return found->second;
}

std::string DxfLayers::line_layer_name(const std::string& layer, const Stroke& stroke) const {
    return stroke.pattern == LinePattern::Dashed ? dxf_hidden_layer_name(layer) : dxf_layer_name(layer);
}

DxfLayers::DxfLayers(const SheetGraphics& sheet) {
    note("0");
    // How many lines of each weight and pattern each layer holds, in the order of kLineWeights and kLinePatterns.
    constexpr std::size_t kLooks = std::size(kLineWeights) * std::size(kLinePatterns);
    std::vector<std::array<std::size_t, kLooks>> counts;
    auto line = [&](const std::string& layer, const Stroke& stroke) {
        const std::size_t at = note(line_layer_name(layer, stroke));
        if (counts.size() <= at) counts.resize(at + 1, {});
        std::size_t look = 0;
        for (std::size_t w = 0; w < std::size(kLineWeights); ++w)
            for (std::size_t p = 0; p < std::size(kLinePatterns); ++p, ++look)
                if (kLineWeights[w] == stroke.weight && kLinePatterns[p] == stroke.pattern) ++counts[at][look];
    };
    auto other = [&](const std::string& layer) { note(dxf_layer_name(layer)); };
    for_each_polyline(sheet, [&](const Polyline& p) { line(p.layer, p.stroke); });
    for (const Arc& a : sheet.arcs) line(a.layer, a.stroke);
    for (const Ellipse& e : sheet.ellipses) line(e.layer, e.stroke);
    for (const Spline& s : sheet.splines) line(s.layer, s.stroke);
    for_each_triangle(sheet, [&](const Triangle& t) { other(t.layer); });
    for_each_text(sheet, [&](const Text& t) { other(t.layer); });
    for (const Dimension& d : sheet.dimensions) other(d.layer);
    if (!sheet.dimensions.empty()) note("Defpoints");

    // The commonest look wins; on a tie the first in order, so a layer without lines stays thin and continuous.
    for (std::size_t at = 0; at < counts.size(); ++at) {
        std::size_t best = 0;
        for (std::size_t look = 1; look < kLooks; ++look)
            if (counts[at][look] > counts[at][best]) best = look;
        layers_[at].lineweight = hundredths(kLineWeights[best / std::size(kLinePatterns)]);
        layers_[at].pattern = kLinePatterns[best % std::size(kLinePatterns)];
    }
}

const DxfLayer& DxfLayers::of_line(const std::string& layer, const Stroke& stroke) const {
    return layers_[index_.at(line_layer_name(layer, stroke))];
}

const DxfLayer& DxfLayers::of(const std::string& layer) const { return layers_[index_.at(dxf_layer_name(layer))]; }

}  // namespace cadhost::render
