// Which layer of the part an object takes, from the name of its layer in the model.
#ifndef CADHOST_IMPORT_LAYER_MAPPING_H
#define CADHOST_IMPORT_LAYER_MAPPING_H

#include <map>
#include <string>
#include <vector>

#include "cadhost/import/name_pattern.h"

namespace cadhost::import {

// One line of a layer map: the objects whose layer, own name or product name the pattern matches go on the layer.
struct LayerRule {
    NamePattern pattern;
    int layer = 0;
    int line = 0;
};

// Layers the user gives by hand: a two-column text file, one "PATTERN NUMBER" a line. The first line in file order
// that matches an object wins, so specific lines go before general ones.
struct LayerMap {
    std::vector<LayerRule> rules;
    bool empty() const { return rules.empty(); }
};

// Reads a layer map. The number is the last field of a line and the pattern everything before it, so names may hold
// blanks ("Layer 240  12"). Blank lines and lines starting with '#' are passed over. A number outside 1 to 256, a line
// without a pattern or number, a pattern that is none (see NamePattern) or one given twice is refused with the file
// and line.
bool read_layer_map(const std::string& path, LayerMap& map, std::string& error);
bool parse_layer_map(const std::string& text, const std::string& source, LayerMap& map, std::string& error);

// The layer a model's layer name gives on its own: a name that is a number 1 to 256 is that layer; a name holding
// exactly one run of digits, whose value is 1 to 256 ("L1", "Layer 240", "layer_007"), is that layer; anything else
// (none, "CORE", "L1-2", "Layer 300") is 0. Leading zeros count for nothing ("007" is 7).
int layer_of_name(const std::string& name);

// What an object is known by when its layer is chosen; empty texts are none.
struct ObjectNames {
    std::string layer;
    std::string object;
    std::string product;
};

// Gives each object of an import its layer and remembers what the user should hear about: objects a map line placed,
// names that were read as a layer number, names that could not be and went to layer 1, and map lines that matched
// nothing.
class LayerAssigner {
  public:
    explicit LayerAssigner(LayerMap map = {}) : map_(std::move(map)), rule_uses_(map_.rules.size(), 0) {}

    int layer_for(const ObjectNames& names);
    std::vector<std::string> notes() const;

  private:
    enum class How { exact, by_digits, unmapped };
    struct Use {
        How how;
        int layer;
        int count;
    };
    LayerMap map_;
    std::vector<int> rule_uses_;  // objects each line of the map placed
    std::map<std::string, Use> uses_;
};

}  // namespace cadhost::import

#endif
