// The colours a STEP file gives its shapes through styled items, as the translator's document holds them: on the
// labels of products, occurrences and the pieces of a product that are styled on their own.
#ifndef CADHOST_IMPORT_STEP_COLOURS_H
#define CADHOST_IMPORT_STEP_COLOURS_H

#include <cstdint>
#include <optional>

#include <TDF_Label.hxx>
#include <TDF_LabelSequence.hxx>
#include <TopoDS_Shape.hxx>
#include <XCAFDoc_ColorTool.hxx>

namespace cadhost::import {

class StepColours {
  public:
    explicit StepColours(Handle(XCAFDoc_ColorTool) tool);

    // The label's own colour as 0xRRGGBB: its general colour, else its surface colour, else its curve colour.
    std::optional<std::uint32_t> of_label(const TDF_Label& label) const;

    // A solid or sheet whose own label has no colour but whose faces all share one (some systems style faces only)
    // takes that colour; nullopt when the faces are uncoloured or differ. The faces' colours are on the sub-shape
    // labels of the product the shape belongs to.
    std::optional<std::uint32_t> of_faces(const TopoDS_Shape& shape, const TDF_LabelSequence& sub_labels) const;

  private:
    Handle(XCAFDoc_ColorTool) tool_;
    bool any_ = false;  // whether the file gives any colour: the faces of a file without colours are not searched
};

}  // namespace cadhost::import

#endif
