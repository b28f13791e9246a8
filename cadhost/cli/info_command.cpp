#include "cadhost/cli/info_command.h"

#include <map>
#include <sstream>

#include "cadhost/cli/layer_table.h"
#include "cadhost/document/dump_json.h"
#include "cadhost/import/import_model.h"
#include "cadhost/partfile/import_layers.h"
#include "cadhost/document/object_colour.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

namespace {

using nlohmann::ordered_json;

constexpr int kDone = 0;
constexpr int kUsage = 2;
constexpr int kDefaultCoreLayer = 240;

const char* kInfoUsage = "usage: quillon info PART.prt [--json] [--core-layer N]\n";

// The two names an import keeps where they differ are shown as names, not as attributes.
bool is_name_record(const Attribute& attribute) {
    return Document::fold_case(attribute.title) == Document::fold_case(import::kProductNameTitle) ||
           Document::fold_case(attribute.title) == Document::fold_case(import::kBodyNameTitle);
}

ordered_json attributes_of(const Object& object) {
    ordered_json attrs = ordered_json::object();
    for (const auto& a : object.attributes) {
        if (is_name_record(a)) continue;
        if (const int* i = std::get_if<int>(&a.value))
            attrs[a.title] = *i;
        else if (const double* r = std::get_if<double>(&a.value))
            attrs[a.title] = *r;
        else
            attrs[a.title] = std::get<std::string>(a.value);
    }
    return attrs;
}

bool is_solid_body(const Object& object) { return std::string(kind_name(object)) == "solid body"; }

ordered_json body_entry(const Object& object) {
    ordered_json body;
    body["name"] = object.name;
    for (const auto& a : object.attributes) {
        const std::string* text = std::get_if<std::string>(&a.value);
        if (!text || !is_name_record(a)) continue;
        body[Document::fold_case(a.title) == Document::fold_case(import::kProductNameTitle) ? "product_name"
                                                                                            : "body_name"] = *text;
    }
    if (object.blank_status) body["blank"] = true;
    if (object.rgb) body["color"] = colour_hex(*object.rgb);
    if (object.line_width != kWidthNormal) body["width"] = width_text(object.line_width);
    body["attributes"] = attributes_of(object);
    return body;
}

ordered_json layer_entry(const Document& doc, int layer) {
    ordered_json kinds = ordered_json::object();
    for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(layer, tag)) {
        const Object* object = doc.find(tag);
        std::string kind = kind_name(*object);
        if (object->blank_status) kind = "blanked " + kind;
        if (!kinds.contains(kind)) kinds[kind] = ordered_json::array();
        kinds[kind].push_back(object->name);
    }
    return ordered_json{{"layer", layer}, {"objects", kinds}};
}

std::string plural(std::size_t n, const std::string& kind) {
    if (n == 1) return "1 " + kind;
    return std::to_string(n) + " " + (kind.ends_with("body") ? kind.substr(0, kind.size() - 1) + "ies" : kind + "s");
}

// A text on one line: line breaks, tabs and other control characters written as escapes, so that a note with a line
// feed cannot make a line of its own in the summary. JSON keeps the texts as they are.
std::string one_line(const std::string& text) {
    std::string line;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else if (c == '\t')
            line += "\\t";
        else if (byte < 0x20 || byte == 0x7f) {
            static const char digits[] = "0123456789abcdef";
            line += "\\x";
            line += digits[byte >> 4];
            line += digits[byte & 15];
        } else
            line += c;
    }
    return line;
}

std::string attribute_text(const ordered_json& attrs) {
    std::string text;
    for (const auto& [title, value] : attrs.items())
        text += (text.empty() ? "" : ", ") + one_line(title) + "=" +
                (value.is_string() ? one_line(value.get<std::string>()) : value.dump());
    return text;
}

std::string shown_name(const ordered_json& name) {
    const std::string text = name.get<std::string>();
    return text.empty() ? "(unnamed)" : one_line(text);
}

// A body's name, with the product's and body's names from its model file where they differ.
std::string shown_body(const ordered_json& body) {
    std::string text = shown_name(body["name"]);
    if (body.contains("product_name") && body.contains("body_name"))
        text += " (product \"" + body["product_name"].get<std::string>() + "\", body \"" +
                body["body_name"].get<std::string>() + "\")";
    return text;
}

// ", drawn copper (#B87333), thick" for a body with its own colour or width; empty for one drawn as any other.
std::string look_text(const ordered_json& body) {
    std::string text;
    if (body.contains("color")) text += ", drawn " + colour_text(*parse_colour(body["color"].get<std::string>()));
    if (body.contains("width")) text += (text.empty() ? ", drawn " : ", ") + body["width"].get<std::string>();
    return text;
}

}  // namespace

ordered_json part_info(const Document& doc, int core_layer) {
    ordered_json info;
    info["layers"] = ordered_json::array();
    info["electrode_candidates"] = ordered_json::array();
    info["core"] = {{"layer", core_layer}, {"bodies", ordered_json::array()}};
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        if (doc.count_on_layer(layer) == 0) continue;
        info["layers"].push_back(layer_entry(doc, layer));
        ordered_json bodies = ordered_json::array();
        for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(layer, tag)) {
            const Object* object = doc.find(tag);
            if (!is_solid_body(*object)) continue;
            if (layer == core_layer)
                info["core"]["bodies"].push_back(body_entry(*object));
            else if (!object->blank_status)  // the command passes blanked bodies by
                bodies.push_back(body_entry(*object));
        }
        if (!bodies.empty()) info["electrode_candidates"].push_back({{"layer", layer}, {"bodies", bodies}});
    }
    info["sheets"] = ordered_json::array();
    std::map<tag_t, int> views;
    for (const auto& [tag, object] : doc.objects())
        if (const auto* view = object.as<DrawingViewData>()) ++views[view->drawing];
    for (const auto& [tag, object] : doc.objects()) {
        const auto* drawing = object.as<DrawingData>();
        if (!drawing) continue;
        info["sheets"].push_back(
            {{"name", object.name}, {"width", drawing->width}, {"height", drawing->height}, {"views", views[tag]}});
    }
    info["pages"] = info["sheets"].size();
    return info;
}

void write_part_info(std::ostream& out, const ordered_json& info) {
    out << "layers:\n";
    for (const auto& layer : info["layers"]) {
        out << "  layer " << layer["layer"].get<int>() << ":";
        const char* separator = " ";
        for (const auto& [kind, names] : layer["objects"].items()) {
            out << separator << plural(names.size(), kind);
            std::string named;
            for (const auto& name : names)
                if (!name.get<std::string>().empty()) named += (named.empty() ? "" : ", ") + shown_name(name);
            if (!named.empty()) out << " (" << named << ")";
            separator = "; ";
        }
        out << '\n';
    }
    out << "electrode candidates (visible solid bodies off the core layer):\n";
    if (info["electrode_candidates"].empty()) out << "  none\n";
    for (const auto& layer : info["electrode_candidates"]) {
        for (const auto& body : layer["bodies"]) {
            out << "  layer " << layer["layer"].get<int>() << ": " << shown_body(body) << look_text(body);
            if (!body["attributes"].empty()) out << " [" << attribute_text(body["attributes"]) << "]";
            out << '\n';
        }
    }
    const auto& core = info["core"];
    out << "core layer " << core["layer"].get<int>() << ": ";
    if (core["bodies"].empty()) out << "no solid body";
    for (std::size_t i = 0; i < core["bodies"].size(); ++i) {
        const auto& body = core["bodies"][i];
        out << (i ? ", " : "") << shown_body(body) << (body.contains("blank") ? " (blanked)" : "") << look_text(body);
    }
    out << '\n';
    out << "sheets: " << info["pages"].get<std::size_t>() << (info["pages"] == 1 ? " page" : " pages") << '\n';
    for (const auto& sheet : info["sheets"]) {
        out << "  " << shown_name(sheet["name"]) << " (" << sheet["width"].dump() << " x " << sheet["height"].dump()
            << " mm, " << plural(sheet["views"].get<std::size_t>(), "view") << ")\n";
    }
    if (info.contains("auto_layers")) {
        out << "at import, ";
        write_layer_table(out, info["auto_layers"]);
    }
}

int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string path;
    bool json = false;
    int core_layer = kDefaultCoreLayer;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg == "--core-layer") {
            std::size_t used = 0;
            int value = 0;
            try {
                if (i + 1 < args.size()) value = std::stoi(args[i + 1], &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (i + 1 >= args.size() || used != args[i + 1].size() || !Document::valid_layer(value)) {
                err << "quillon info: --core-layer needs a layer number 1 to 256\n" << kInfoUsage;
                return kUsage;
            }
            core_layer = value;
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillon info: unknown option " << arg << '\n' << kInfoUsage;
            return kUsage;
        } else if (path.empty()) {
            path = arg;
        } else {
            err << "quillon info: one part at a time\n" << kInfoUsage;
            return kUsage;
        }
    }
    if (path.empty()) {
        err << kInfoUsage;
        return kUsage;
    }
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(path, part, error)) {
        err << "quillon info: " << error << '\n';
        return kUsage;
    }
    // Kept from the import (see partfile/import_layers.h).
    std::string table;
    ordered_json rows;
    if (!partfile::read_import_layers(path, table, error)) {
        err << "quillon info: " << error << '\n';
        return kUsage;
    }
    if (!table.empty() && !read_layer_table(table, rows)) {
        err << "quillon info: part file '" << path
            << "' is damaged: its table of layers from the import cannot be read\n";
        return kUsage;
    }
    ordered_json info = part_info(part.document, core_layer);
    if (!table.empty()) info["auto_layers"] = rows;
    if (json) {
        out << info.dump(2) << '\n';
    } else {
        out << "part " << path << '\n';
        write_part_info(out, info);
    }
    return kDone;
}

}  // namespace cadhost::cli
