#include "cadhost/import/step_colours.h"

#include <cmath>

#include <Quantity_Color.hxx>
#include <NCollection_DataMap.hxx>
#include <TDF_LabelSequence.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <XCAFDoc_ShapeTool.hxx>
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

std::optional<std::uint32_t> StepColours::of_faces(const TopoDS_Shape& shape,
                                                   const TDF_LabelSequence& sub_labels) const {
    if (!any_) return std::nullopt;
    // Looked up in a map: searching the document for each face of a large core would take far longer.
    NCollection_DataMap<TopoDS_Shape, std::uint32_t, TopTools_ShapeMapHasher> styled;
    for (const TDF_Label& sub : sub_labels) {
        const TopoDS_Shape face = XCAFDoc_ShapeTool::GetShape(sub);
        if (face.IsNull() || face.ShapeType() != TopAbs_FACE) continue;
        if (const auto colour = of_label(sub)) styled.Bind(face, *colour);
    }
    if (styled.IsEmpty()) return std::nullopt;
    std::optional<std::uint32_t> shared;
    for (TopExp_Explorer face(shape, TopAbs_FACE); face.More(); face.Next()) {
        const std::uint32_t* colour = styled.Seek(face.Current());
        if (!colour || (shared && *shared != *colour)) return std::nullopt;
        shared = *colour;
    }
    return shared;
}

}  // namespace cadhost::import
