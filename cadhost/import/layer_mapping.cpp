#include "cadhost/import/layer_mapping.h"

#include <sstream>

#include "cadhost/document/document.h"
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
        if (name.empty()) {
            error = where + "expected a layer name and a layer number";
            return false;
        }
        const bool numeric = digits.find_first_not_of("0123456789") == std::string::npos;
        const int layer = numeric ? layer_value(digits) : 0;
        if (layer == 0) {
            error =
                where + "\"" + digits + "\" is not a layer number (1 to " + std::to_string(UF_LAYER_MAX_LAYER) + ")";
            return false;
        }
        LayerRule rule;
        rule.layer = layer, rule.line = number;
        std::string why;
        if (!rule.pattern.parse(name, why)) {
            error = where + quoted(name) + ": " + why;
            return false;
        }
        for (const auto& earlier : map.rules) {
            // A second line for the same pattern could never match: the first always wins.
            if (Document::fold_case(earlier.pattern.text()) == Document::fold_case(name)) {
                error = where + quoted(name) + " is given twice (first on line " + std::to_string(earlier.line) + ")";
                return false;
            }
        }
        map.rules.push_back(std::move(rule));
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

int LayerAssigner::layer_for(const ObjectNames& names) {
    for (std::size_t i = 0; i < map_.rules.size(); ++i) {
        const NamePattern& pattern = map_.rules[i].pattern;
        // Empty names take part too: "*" is then the line for everything the lines above left.
        for (const std::string* name : {&names.layer, &names.object, &names.product}) {
            if (pattern.matches(*name)) {
                ++rule_uses_[i];
                return map_.rules[i].layer;
            }
        }
    }
    const std::string& layer_name = names.layer;
    auto found = uses_.find(layer_name);
    if (found != uses_.end()) {
        ++found->second.count;
        return found->second.layer;
    }
    Use use{How::unmapped, kFallbackLayer, 1};
    if (const int layer = layer_of_name(layer_name); layer != 0) {
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
            case How::by_digits:
                notes.push_back(objects(use.count) + " of layer " + quoted(name) + " placed on layer " +
                                std::to_string(use.layer) + " (the number in its name)");
                break;
            case How::unmapped:
                notes.push_back(name.empty() ? objects(use.count) +
                                                   " without a layer placed on layer 1 (--auto-layers or --layer-map "
                                                   "can give them layers)"
                                             : objects(use.count) + " of layer " + quoted(name) +
                                                   " placed on layer 1 (the name holds no single layer number 1 to "
                                                   "256; --layer-map or --auto-layers can give one)");
                break;
        }
    }
    for (std::size_t i = 0; i < map_.rules.size(); ++i) {
        const LayerRule& rule = map_.rules[i];
        const std::string line =
            "line " + std::to_string(rule.line) + " of the layer map (" + quoted(rule.pattern.text()) + ")";
        notes.push_back(rule_uses_[i]
                            ? objects(rule_uses_[i]) + " placed on layer " + std::to_string(rule.layer) + " by " + line
                            : line + " matches no layer, object or product name");
    }
    return notes;
}

}  // namespace cadhost::import
