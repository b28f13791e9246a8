#include "cadhost/cli/attribute_warnings.h"

#include <algorithm>

#include "cadhost/document/dump_json.h"
#include "cadhost/loader/library_entry.h"
#include "host/command_check.h"
#include "host/uf_attr.h"

namespace cadhost::cli {

namespace {

const char* kind_of_value(const AttrValue& value) {
    if (std::holds_alternative<int>(value)) return "an integer";
    if (std::holds_alternative<double>(value)) return "a real number";
    return "a text";
}

const char* kind_wanted(int type) {
    switch (type) {
        case UF_ATTR_integer:
            return "an integer";
        case UF_ATTR_real:
            return "a real number";
        default:
            return "a text";
    }
}

int type_of(const AttrValue& value) {
    if (std::holds_alternative<int>(value)) return UF_ATTR_integer;
    if (std::holds_alternative<double>(value)) return UF_ATTR_real;
    return UF_ATTR_string;
}

std::string object_words(const Object& object) {
    std::string words = object.name.empty() ? std::string("unnamed ") + kind_name(object)
                                            : std::string(kind_name(object)) + " '" + object.name + "'";
    if (object.layer > 0) words += " on layer " + std::to_string(object.layer);
    return words;
}

// The bodies the command draws: visible solid bodies off the core layer.
bool is_electrode_body(const Object& object, int core_layer) {
    return object.type == UF_solid_type && object.subtype == UF_solid_body_subtype &&
           std::string(kind_name(object)) == "solid body" && object.blank_status == UF_OBJ_NOT_BLANKED &&
           object.layer != core_layer;
}

// A title near one of the command's: the nearest within two edits, or one edit for titles of three characters or
// fewer, where two edits make any short title out of another.
const CommandTitle* near_title(const std::string& folded, const std::vector<CommandTitle>& titles) {
    const CommandTitle* best = nullptr;
    std::size_t best_distance = 0;
    for (const auto& candidate : titles) {
        const std::string wanted = Document::fold_case(candidate.title);
        const std::size_t allowed = std::min<std::size_t>(2, std::max<std::size_t>(1, wanted.size() / 3));
        const std::size_t distance = edit_distance(folded, wanted);
        if (distance > allowed) continue;
        if (!best || distance < best_distance) best = &candidate, best_distance = distance;
    }
    return best;
}

}  // namespace

std::size_t edit_distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<CommandTitle> command_attribute_titles(const std::string& library) {
    std::vector<CommandTitle> titles;
    if (library.empty()) return titles;
    OpenedLibrary opened;
    std::string error;
    if (!opened.open(library, error)) return titles;
    auto ask = reinterpret_cast<ufusr_attribute_titles_fn>(opened.entry("ufusr_attribute_titles"));
    if (!ask) return titles;
    const command_attribute_title* table = nullptr;
    const int count = ask(&table);
    for (int i = 0; table && i < count && i < 256; ++i)
        if (table[i].title) titles.push_back({table[i].title, table[i].type});
    return titles;
}

std::vector<std::string> attribute_warnings(const Document& doc, const std::vector<CommandTitle>& titles,
                                            int core_layer) {
    std::vector<std::string> warnings;
    if (titles.empty()) return warnings;
    for (const auto& [tag, object] : doc.objects()) {
        for (const auto& attribute : object.attributes) {
            // Titles are matched without regard to letter case, so a case difference is read as it stands.
            const std::string folded = Document::fold_case(attribute.title);
            const CommandTitle* exact = nullptr;
            for (const auto& candidate : titles)
                if (Document::fold_case(candidate.title) == folded) exact = &candidate;
            const std::string who = object_words(object) + ": attribute '" + attribute.title + "'";
            if (!exact) {
                if (const CommandTitle* near = near_title(folded, titles))
                    warnings.push_back(who + " is not one the command reads; did you mean '" + near->title + "'?");
                continue;
            }
            if (!is_electrode_body(object, core_layer)) {
                warnings.push_back(who + " is read only from electrode bodies (visible solid bodies off the core " +
                                   "layer): this one is passed over; put it on the electrode body");
                continue;
            }
            if (type_of(attribute.value) != exact->type)
                warnings.push_back(who + " is " + kind_of_value(attribute.value) +
                                   ", but the command reads it only as " + kind_wanted(exact->type) +
                                   ": it is passed over; give it as " + kind_wanted(exact->type));
        }
    }
    return warnings;
}

}  // namespace cadhost::cli
