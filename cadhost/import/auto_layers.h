// Layers for a model that has none, or has them wrong: the core on the core layer, each electrode on a layer of its
// own, and what belongs to a solid (its diagonal line, its points) with it.
#ifndef CADHOST_IMPORT_AUTO_LAYERS_H
#define CADHOST_IMPORT_AUTO_LAYERS_H

#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace cadhost::import {

inline constexpr int kAutoCoreLayer = 240;
// Objects that touch no solid: off the core and electrode layers, so that the sheets' views leave them out.
inline constexpr int kAutoLooseLayer = 255;
// How near an object must come to a solid to go with it, in millimetres.
inline constexpr double kAutoTouchTolerance = 0.01;

struct AutoLayerInput {
    TopoDS_Shape shape;  // a solid, a sheet, an edge or a vertex, in model coordinates
    std::string name;    // empty when none
};

struct AutoLayerGroup {
    enum class Role { core, electrode, copies, loose };
    int layer = 0;
    Role role = Role::electrode;
    std::string why;                  // for the core: how it was found
    std::vector<std::size_t> solids;  // indices into the input, in file order
};

struct AutoLayering {
    std::string error;                   // when the model cannot be laid out so (too many solids)
    std::vector<int> layers;             // one per input object
    std::vector<AutoLayerGroup> groups;  // the core first, then layers 1, 2, ..., then the loose objects
};

// The core is the largest solid named like a core (a word "core" in any case, or 模仁), else the largest solid. Every
// other solid gets a layer of its own from 1 in the order of the names (digits by value, unnamed solids last, then file
// order), except that solids of one name and one outline (box sizes within 0.02 mm in any order of the axes, and the
// same volume) are copies and share a layer. A curve, point or sheet goes with the solid it touches (the smallest when
// it touches several), else with the smallest solid whose box holds it, else on the loose layer.
AutoLayering auto_layers(const std::vector<AutoLayerInput>& objects);

// Whether a name says its solid is a mould core.
bool named_like_core(const std::string& name);

}  // namespace cadhost::import

#endif
