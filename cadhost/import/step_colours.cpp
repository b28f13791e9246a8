#include "cadhost/import/step_colours.h"

#include <cmath>

#include <Quantity_Color.hxx>
#include <TDF_LabelSequence.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

namespace cadhost::import {

namespace {

std::uint32_t packed(const Quantity_Color& colour) {
    // The file's values are those of the colour as shown (sRGB); the kernel keeps them linear.
    Standard_Real r = 0, g = 0, b = 0;
    colour.Values(r, g, b, Quantity_TOC_sRGB);
    auto byte = [](double value) {
        const double v = std::isfinite(value) ? std::min(1.0, std::max(0.0, value)) : 0.0;
        return static_cast<std::uint32_t>(std::lround(v * 255.0));
    };
    return byte(r) << 16 | byte(g) << 8 | byte(b);
}

}  // namespace

StepColours::StepColours(Handle(XCAFDoc_ColorTool) tool) : tool_(std::move(tool)) {
    TDF_LabelSequence colours;
    if (!tool_.IsNull()) tool_->GetColors(colours);
    any_ = !colours.IsEmpty();
}

std::optional<std::uint32_t> StepColours::of_label(const TDF_Label& label) const {
    if (tool_.IsNull() || label.IsNull()) return std::nullopt;
    Quantity_Color colour;
    for (XCAFDoc_ColorType type : {XCAFDoc_ColorGen, XCAFDoc_ColorSurf, XCAFDoc_ColorCurv})
        if (tool_->GetColor(label, type, colour)) return packed(colour);
    return std::nullopt;
}

std::optional<std::uint32_t> StepColours::of_faces(const TopoDS_Shape& shape) const {
    if (!any_) return std::nullopt;
    std::optional<std::uint32_t> shared;
    for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) {
        Quantity_Color colour;
        if (!tool_->GetColor(face.Current(), XCAFDoc_ColorSurf, colour) &&
            !tool_->GetColor(face.Current(), XCAFDoc_ColorGen, colour))
            return std::nullopt;
        const std::uint32_t rgb = packed(colour);
        if (shared && *shared != rgb) return std::nullopt;
        shared = rgb;
    }
    return shared;
}

}  // namespace cadhost::import
