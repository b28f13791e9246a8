// The layers of a sheet's DXF drawing: which layer each line goes on, and the look each layer gives its lines.
#ifndef CADHOST_RENDER_DXF_LAYERS_H
#define CADHOST_RENDER_DXF_LAYERS_H

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// DXF forbids some characters in table names; they become '_' so a layer name cannot break the file. No name is "0".
std::string dxf_layer_name(const std::string& layer);

// The linetype a pattern is written with.
const char* dxf_linetype_name(LinePattern pattern);

// The layer of a layer's dashed (hidden) lines: a view's layer "VIEW-name" has "HID-name", which the layer list
// shows together and which is no longer than the view's own, for a large sheet's file repeats it on thousands of
// lines; any other layer's name takes "-HID" after it.
std::string dxf_hidden_layer_name(const std::string& layer);

struct DxfLayer {
    std::string name;     // UTF-8, safe as a table name
    int lineweight = 25;  // hundredths of a millimetre
    LinePattern pattern = LinePattern::Continuous;
};

// A large sheet has thousands of lines and a handful of layers, so the lines take their weight and pattern from
// their layer wherever they can: each layer has the weight and pattern most of its lines have, and a line writes
// only what differs. A layer's dashed lines (its hidden edges) are on a layer of their own, next to it, so that the
// layer of the visible lines stays continuous and a shop can switch the hidden lines off by layer.
class DxfLayers {
  public:
    explicit DxfLayers(const SheetGraphics& sheet);

    const std::vector<DxfLayer>& layers() const { return layers_; }
    // The layer a line of the sheet's layer and stroke goes on.
    const DxfLayer& of_line(const std::string& layer, const Stroke& stroke) const;
    // The layer of anything else (texts, arrowheads, dimensions).
    const DxfLayer& of(const std::string& layer) const;

  private:
    std::size_t note(const std::string& name);
    std::string line_layer_name(const std::string& layer, const Stroke& stroke) const;

    std::vector<DxfLayer> layers_;
    std::map<std::string, std::size_t> index_;
};

}  // namespace cadhost::render

#endif
