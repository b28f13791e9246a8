#include "cadhost/import/layer_mapping.h"

#include <sstream>

#include "cadhost/files/read_file.h"
#include "host/uf_types.h"

namespace cadhost::import {

namespace {

constexpr int kFallbackLayer = 1;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The value of a run of digits when it is a layer, else 0. Long runs are cut short before they can overflow.
int layer_value(const std::string& digits) {
    if (digits.empty() || digits.size() > 6) return 0;
    const int value = std::stoi(digits);
    return value >= 1 && value <= UF_LAYER_MAX_LAYER ? value : 0;
}

std::string trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

std::string objects(int count) { return std::to_string(count) + (count == 1 ? " object" : " objects"); }

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

int layer_of_name(const std::string& name) {
    std::string run;
    int runs = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!is_digit(name[i])) continue;
        if (i == 0 || !is_digit(name[i - 1])) ++runs, run.clear();
        run += name[i];
    }
    return runs == 1 ? layer_value(run) : 0;
}

bool parse_layer_map(const std::string& text, const std::string& source, LayerMap& map, std::string& error) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string where = "layer map '" + source + "', line " + std::to_string(number) + ": ";
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#') continue;
        const auto split = content.find_last_of(" \t");
        if (split == std::string::npos) {
            error = where + "expected a layer name and a layer number";
            return false;
        }
        const std::string name = trimmed(content.substr(0, split));
        const std::string digits = content.substr(split + 1);
        const bool numeric = digits.find_first_not_of("0123456789") == std::string::npos;
        const int layer = numeric ? layer_value(digits) : 0;
        if (layer == 0) {
            error =
                where + "\"" + digits + "\" is not a layer number (1 to " + std::to_string(UF_LAYER_MAX_LAYER) + ")";
            return false;
        }
        if (!map.numbers.emplace(name, layer).second) {
            error = where + "layer " + quoted(name) + " is given twice";
            return false;
        }
    }
    return true;
}

bool read_layer_map(const std::string& path, LayerMap& map, std::string& error) {
    // A folder opens as a stream that reads nothing, which would be an empty map.
    std::string text, why;
    if (!files::read_whole_file(path, text, why)) {
        error = "cannot open layer map '" + path + "': " + why;
        return false;
    }
    if (const std::string place = files::nul_byte_place(text); !place.empty()) {
        error = "layer map '" + path + "', " + place + ": a NUL byte";
        return false;
    }
    return parse_layer_map(text, path, map, error);
}

int LayerAssigner::layer_for(const std::string& layer_name) {
    auto found = uses_.find(layer_name);
    if (found != uses_.end()) {
        ++found->second.count;
        return found->second.layer;
    }
    Use use{How::unmapped, kFallbackLayer, 1};
    if (auto mapped = map_.numbers.find(layer_name); mapped != map_.numbers.end()) {
        use.how = How::by_map, use.layer = mapped->second;
    } else if (const int layer = layer_of_name(layer_name); layer != 0) {
        const bool plain = layer_name == std::to_string(layer);
        use.how = plain ? How::exact : How::by_digits, use.layer = layer;
    }
    uses_.emplace(layer_name, use);
    return use.layer;
}

std::vector<std::string> LayerAssigner::notes() const {
    std::vector<std::string> notes;
    for (const auto& [name, use] : uses_) {
        switch (use.how) {
            case How::exact:
                break;
            case How::by_map:
                notes.push_back(objects(use.count) + " of layer " + quoted(name) + " placed on layer " +
                                std::to_string(use.layer) + " (layer map)");
                break;
            case How::by_digits:
                notes.push_back(objects(use.count) + " of layer " + quoted(name) + " placed on layer " +
                                std::to_string(use.layer) + " (the number in its name)");
                break;
            case How::unmapped:
                notes.push_back(name.empty() ? objects(use.count) + " without a layer placed on layer 1"
                                             : objects(use.count) + " of layer " + quoted(name) +
                                                   " placed on layer 1 (the name holds no single layer number 1 to "
                                                   "256; --layer-map can give one)");
                break;
        }
    }
    for (const auto& [name, layer] : map_.numbers) {
        if (!uses_.count(name)) notes.push_back("layer map: no object lies on layer " + quoted(name));
    }
    return notes;
}

}  // namespace cadhost::import
