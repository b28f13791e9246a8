// Which layer of the part an object takes, from the name of its layer in the model.
#ifndef CADHOST_IMPORT_LAYER_MAPPING_H
#define CADHOST_IMPORT_LAYER_MAPPING_H

#include <map>
#include <string>
#include <vector>

namespace cadhost::import {

// Layer names the user maps by hand: a two-column text file, one "NAME NUMBER" a line.
struct LayerMap {
    std::map<std::string, int> numbers;
};

// Reads a layer map. The number is the last field of a line and the name everything before it, so names may hold
// blanks ("Layer 240  12"). Blank lines and lines starting with '#' are passed over. A number outside 1 to 256, a line
// without a name or number, or a name given twice is refused with the file and line.
bool read_layer_map(const std::string& path, LayerMap& map, std::string& error);
bool parse_layer_map(const std::string& text, const std::string& source, LayerMap& map, std::string& error);

// The layer a model's layer name gives on its own: a name that is a number 1 to 256 is that layer; a name holding
// exactly one run of digits, whose value is 1 to 256 ("L1", "Layer 240", "layer_007"), is that layer; anything else
// (none, "CORE", "L1-2", "Layer 300") is 0. Leading zeros count for nothing ("007" is 7).
int layer_of_name(const std::string& name);

// Gives each object of an import its layer and remembers what the user should hear about: names that were read as a
// layer number, names that could not be and went to layer 1, and map entries that no object used.
class LayerAssigner {
  public:
    explicit LayerAssigner(LayerMap map = {}) : map_(std::move(map)) {}

    int layer_for(const std::string& layer_name);
    std::vector<std::string> notes() const;

  private:
    enum class How { exact, by_map, by_digits, unmapped };
    struct Use {
        How how;
        int layer;
        int count;
    };
    LayerMap map_;
    std::map<std::string, Use> uses_;
};

}  // namespace cadhost::import

#endif
