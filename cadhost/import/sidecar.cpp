#include "cadhost/import/sidecar.h"

#include <set>
#include <sstream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cadhost/document/utf8_text.h"
#include "cadhost/document/object_colour.h"
#include "cadhost/files/read_file.h"
#include "host/uf_attr.h"

namespace cadhost::import {

namespace {

// Ordered, so that attributes keep the order the file gives them.
using json = nlohmann::ordered_json;

struct SidecarError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Change {
    tag_t tag = NULL_TAG;
    std::optional<int> blank;
    std::optional<std::uint32_t> rgb;
    std::optional<int> width;
    std::vector<Attribute> attributes;
};

void only_keys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
    for (const auto& [key, value] : object.items()) {
        if (!allowed.count(key)) throw SidecarError(where + "." + key + ": unknown key");
    }
}

int whole_number(const json& value, const std::string& where) {
    if (!value.is_number_integer()) throw SidecarError(where + ": expected a whole number");
    // A number above the signed range is held unsigned; read as signed it would wrap round to a small one.
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > INT32_MAX)
        throw SidecarError(where + ": number out of range");
    auto n = value.get<std::int64_t>();
    if (n < INT32_MIN || n > INT32_MAX) throw SidecarError(where + ": number out of range");
    return static_cast<int>(n);
}

// The parser hands back UTF-8 only, but its escapes give any character: a NUL would cut the text short where the
// command reads it, and other control characters and noncharacters spoil the sheets' files.
std::string plain_text(std::string text, const std::string& where) {
    if (const std::string refusal = text_refusal(text, "the text"); !refusal.empty())
        throw SidecarError(where + ": " + refusal);
    return text;
}

AttrValue attribute_value(const json& typed, const std::string& where) {
    if (!typed.is_object() || typed.size() != 1)
        throw SidecarError(where + ": expected one of {\"integer\": n}, {\"real\": x}, {\"string\": \"text\"}");
    const std::string kind = typed.begin().key();
    const json& value = typed.begin().value();
    if (kind == "integer") return whole_number(value, where + ".integer");
    if (kind == "real") {
        if (!value.is_number()) throw SidecarError(where + ".real: expected a number");
        return value.get<double>();
    }
    if (kind == "string") {
        if (!value.is_string()) throw SidecarError(where + ".string: expected a text");
        return plain_text(value.get<std::string>(), where + ".string");
    }
    throw SidecarError(where + "." + kind + ": unknown key (integer, real or string)");
}

// How the object is drawn: "color" a name or #RRGGBB, "width" thin, normal or thick.
void read_look(const json& entry, const std::string& where, Change& change) {
    if (entry.contains("color")) {
        const json& value = entry["color"];
        if (value.is_string()) change.rgb = parse_colour(value.get<std::string>());
        if (!change.rgb) throw SidecarError(where + ".color: expected #RRGGBB or one of " + known_colour_names());
    }
    if (entry.contains("width")) {
        const json& value = entry["width"];
        if (value.is_string()) change.width = parse_width(value.get<std::string>());
        if (!change.width) throw SidecarError(where + ".width: expected \"thin\", \"normal\" or \"thick\"");
    }
}

// The objects of each layer in creation order, as the model's order gave them.
tag_t object_at(const Document& doc, int layer, int index) {
    tag_t tag = NULL_TAG;
    for (int i = 0; i < index; ++i) {
        tag = doc.next_on_layer(layer, tag);
        if (tag == NULL_TAG) return NULL_TAG;
    }
    return tag;
}

int layer_of_entry(const json& entry, const std::string& where) {
    const int layer = whole_number(entry["layer"], where + ".layer");
    if (!Document::valid_layer(layer))
        throw SidecarError(where + ".layer: " + std::to_string(layer) + " is not a layer (1 to 256)");
    return layer;
}

std::string expect_name(const json& entry, const std::string& where) {
    if (!entry["name"].is_string()) throw SidecarError(where + ".name: expected a text");
    return entry["name"].get<std::string>();
}

// "layer" and "index" choose the object; "name", when given too, must be its name.
tag_t object_by_place(const json& entry, const std::string& where, const Document& doc) {
    if (!entry.contains("layer")) throw SidecarError(where + ": \"layer\" is missing");
    if (!entry.contains("index")) throw SidecarError(where + ": \"index\" is missing (or give \"name\" alone)");
    const int layer = layer_of_entry(entry, where);
    const int index = whole_number(entry["index"], where + ".index");
    if (index < 1) throw SidecarError(where + ".index: positions on a layer start at 1");
    const tag_t tag = object_at(doc, layer, index);
    if (tag == NULL_TAG)
        throw SidecarError(where + ": layer " + std::to_string(layer) + " has no object " + std::to_string(index) +
                           " (it holds " + std::to_string(doc.count_on_layer(layer)) + ")");
    const Object* object = doc.find(tag);
    if (entry.contains("name")) {
        const std::string name = expect_name(entry, where);
        if (Document::fold_case(name) != Document::fold_case(object->name))
            throw SidecarError(where + ".name: object " + std::to_string(index) + " of layer " + std::to_string(layer) +
                               " is named \"" + object->name + "\", not \"" + name + "\"");
    }
    return tag;
}

int index_on_layer(const Document& doc, tag_t wanted) {
    const int layer = doc.find(wanted)->layer;
    int index = 1;
    for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG && tag != wanted;
         tag = doc.next_on_layer(layer, tag))
        ++index;
    return index;
}

// "name" alone (or with "layer") chooses the one object of that name, compared without regard to case. A curve or
// point often carries its product's name too, so solid bodies come first: the name chooses among them when any has
// it. Several objects of the name are refused: which one was meant cannot be told.
tag_t object_by_name(const json& entry, const std::string& where, const Document& doc) {
    const std::string name = expect_name(entry, where);
    const int layer = entry.contains("layer") ? layer_of_entry(entry, where) : 0;
    std::vector<tag_t> found, solids;
    for (tag_t tag = doc.next_by_name(name, NULL_TAG); tag != NULL_TAG; tag = doc.next_by_name(name, tag)) {
        const Object* object = doc.find(tag);
        if (!Document::valid_layer(object->layer) || (layer && object->layer != layer)) continue;
        found.push_back(tag);
        if (const auto* body = object->as<BodyData>(); body && !body->sheet) solids.push_back(tag);
    }
    const std::string on = layer ? " on layer " + std::to_string(layer) : "";
    if (found.empty()) throw SidecarError(where + ".name: no object" + on + " is named \"" + name + "\"");
    const std::vector<tag_t>& chosen = solids.empty() ? found : solids;
    if (chosen.size() > 1) {
        std::string places;
        for (std::size_t i = 0; i < chosen.size() && i < 5; ++i)
            places += (i ? ", " : "") + std::string("layer ") + std::to_string(doc.find(chosen[i])->layer) +
                      " object " + std::to_string(index_on_layer(doc, chosen[i]));
        if (chosen.size() > 5) places += ", ...";
        throw SidecarError(where + ".name: " + std::to_string(chosen.size()) +
                           (solids.empty() ? " objects" : " solid bodies") + on + " are named \"" + name + "\" (" +
                           places + "); give \"layer\" and \"index\" to choose one");
    }
    return chosen.front();
}

std::vector<Change> read_changes(const json& root, const Document& doc) {
    if (!root.is_object()) throw SidecarError("top level: expected an object");
    only_keys(root, "top level", {"quillon_attrs", "objects"});
    if (!root.contains("quillon_attrs")) throw SidecarError("top level: \"quillon_attrs\" is missing");
    if (whole_number(root["quillon_attrs"], "quillon_attrs") != 1)
        throw SidecarError("quillon_attrs: version " +
                           root["quillon_attrs"].dump(-1, ' ', false, json::error_handler_t::replace) +
                           " is not known (1 is)");
    std::vector<Change> changes;
    if (!root.contains("objects")) return changes;
    const json& objects = root["objects"];
    if (!objects.is_array()) throw SidecarError("objects: expected a list");
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::string where = "objects[" + std::to_string(i) + "]";
        const json& entry = objects[i];
        if (!entry.is_object()) throw SidecarError(where + ": expected an object");
        only_keys(entry, where, {"layer", "index", "name", "blank", "color", "width", "attributes"});
        Change change;
        change.tag = entry.contains("index") || !entry.contains("name") ? object_by_place(entry, where, doc)
                                                                        : object_by_name(entry, where, doc);
        if (entry.contains("blank")) {
            if (!entry["blank"].is_boolean()) throw SidecarError(where + ".blank: expected true or false");
            change.blank = entry["blank"].get<bool>() ? UF_OBJ_BLANKED : UF_OBJ_NOT_BLANKED;
        }
        read_look(entry, where, change);
        if (entry.contains("attributes")) {
            const json& attributes = entry["attributes"];
            if (!attributes.is_object()) throw SidecarError(where + ".attributes: expected an object");
            for (const auto& [title, typed] : attributes.items()) {
                const std::string at = where + ".attributes." + title;
                if (title.empty() || title.size() > UF_ATTR_MAX_TITLE_LEN)
                    throw SidecarError(at + ": a title has 1 to " + std::to_string(UF_ATTR_MAX_TITLE_LEN) +
                                       " characters");
                change.attributes.push_back(Attribute{plain_text(title, at), attribute_value(typed, at)});
            }
        }
        changes.push_back(std::move(change));
    }
    return changes;
}

void apply_changes(const std::vector<Change>& changes, Document& doc) {
    for (const auto& change : changes) {
        Object* object = doc.find(change.tag);
        if (change.blank) object->blank_status = *change.blank;
        if (change.rgb) object->rgb = change.rgb;
        if (change.width) object->line_width = *change.width;
        for (const auto& attribute : change.attributes) {
            const std::string wanted = Document::fold_case(attribute.title);
            bool replaced = false;
            for (auto& existing : object->attributes) {
                if (Document::fold_case(existing.title) == wanted) {
                    existing = attribute;
                    replaced = true;
                }
            }
            if (!replaced) object->attributes.push_back(attribute);
        }
    }
}

}  // namespace

bool apply_sidecar_text(const std::string& text, const std::string& source, Document& doc, std::string& error) {
    // The parser takes a NUL byte for the end of its input and would pass over whatever follows it.
    if (const std::string place = files::nul_byte_place(text); !place.empty()) {
        error = "attribute file '" + source + "', " + place + ": a NUL byte";
        return false;
    }
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& e) {
        // Count lines up to the failing byte so that the message points at a place an editor shows.
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i + 1 < e.byte && i < text.size(); ++i) {
            if (text[i] == '\n')
                ++line, column = 1;
            else
                ++column;
        }
        error = "attribute file '" + source + "', line " + std::to_string(line) + ", column " + std::to_string(column) +
                ": not valid JSON";
        return false;
    } catch (const json::exception& e) {
        // A number beyond a double's range ends the parse without a position; the library's text names the number.
        std::string what = e.what();
        if (const auto end = what.find("] "); end != std::string::npos) what.erase(0, end + 2);
        error = "attribute file '" + source + "': not valid JSON: " + what;
        return false;
    }
    try {
        apply_changes(read_changes(root, doc), doc);
        return true;
    } catch (const SidecarError& e) {
        error = "attribute file '" + source + "': " + e.what();
    } catch (const json::exception& e) {
        error = "attribute file '" + source + "': " + e.what();
    }
    return false;
}

bool apply_sidecar_file(const std::string& path, Document& doc, std::string& error) {
    std::string text, why;
    if (!files::read_whole_file(path, text, why)) {
        error = "cannot open attribute file '" + path + "': " + why;
        return false;
    }
    return apply_sidecar_text(text, path, doc, error);
}

}  // namespace cadhost::import
