#include "cadhost/cli/attribute_files.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/command_analysis.h"
#include "cadhost/document/utf8_text.h"
#include "cadhost/files/read_file.h"
#include "cadhost/import/name_encoding.h"
#include "cadhost/import/sidecar.h"
#include "cadhost/setup/csv_reader.h"
#include "cadhost/setup/electrode_table.h"
#include "cadhost/setup/xlsx_reader.h"
#include "host/uf_attr.h"

namespace cadhost::cli {

namespace {

namespace fs = std::filesystem;
using setup::ElectrodeTable;
using setup::kTableSlots;

constexpr std::uintmax_t kMostTableBytes = 64u << 20;

enum class FileKind { json, csv, xlsx };

FileKind kind_of(const std::string& path, const std::string& bytes) {
    std::string extension = fs::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == ".json") return FileKind::json;
    if (extension == ".csv") return FileKind::csv;
    if (extension == ".xlsx" || bytes.starts_with("PK\x03\x04")) return FileKind::xlsx;
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string::npos && bytes[first] == '{' ? FileKind::json : FileKind::csv;
}

// What the drawing command tells of the attributes: the titles of the table's columns' attributes and the defaults a
// body without gaps and counts of its own shows. Asked once, when the first table comes.
struct CommandFacts {
    bool asked = false;
    std::array<CommandTitle, kTableSlots> slots;
    std::string note_title;
    std::array<std::string, 4> defaults;

    bool ask(const AttributeSources& sources, const Document& doc, std::string& error) {
        if (asked) return true;
        std::string library, conf_dir;
        if (!command_library(sources.library, library, error) || !configuration_dir(sources.conf, conf_dir, error))
            return false;
        const auto titles = command_attribute_titles(library);
        if (titles.size() < kTableSlots) {
            error = "the drawing command '" + library + "' does not tell which attributes it reads";
            return false;
        }
        for (int slot = 0; slot < kTableSlots; ++slot) slots[slot] = titles[slot];
        for (const auto& title : titles)
            if (title.type == UF_ATTR_string && note_title.empty()) note_title = title.title;
        // The defaults come with the analysis of a body.
        std::vector<CheckStage> stages;
        if (!check_document(doc, library, conf_dir, sources.core_layer, stages, error)) return false;
        for (const auto& stage : stages)
            if (stage.reported)
                for (int i = 0; i < 4; ++i) defaults[i] = stage.report.defaults[i];
        asked = true;
        return true;
    }
};

// A value as the sheet writes it: a gap with two decimals, a count as a whole number.
std::string shown(double value, bool count) {
    char text[64];
    std::snprintf(text, sizeof text, count ? "%.0f" : "%.2f", value);
    return text;
}

std::optional<double> own_value(const Object& body, const CommandTitle& title) {
    const std::string wanted = Document::fold_case(title.title);
    for (const auto& attribute : body.attributes) {
        if (Document::fold_case(attribute.title) != wanted) continue;
        if (title.type == UF_ATTR_integer && std::holds_alternative<int>(attribute.value))
            return std::get<int>(attribute.value);
        if (title.type == UF_ATTR_real && std::holds_alternative<double>(attribute.value))
            return std::get<double>(attribute.value);
    }
    return std::nullopt;
}

std::optional<std::string> own_note(const Object& body, const std::string& title) {
    const std::string wanted = Document::fold_case(title);
    for (const auto& attribute : body.attributes)
        if (Document::fold_case(attribute.title) == wanted && std::holds_alternative<std::string>(attribute.value))
            return std::get<std::string>(attribute.value);
    return std::nullopt;
}

void set_attribute(Object& body, const std::string& title, AttrValue value) {
    const std::string wanted = Document::fold_case(title);
    for (auto& attribute : body.attributes)
        if (Document::fold_case(attribute.title) == wanted) {
            attribute = Attribute{title, value};
            return;
        }
    body.attributes.push_back(Attribute{title, std::move(value)});
}

// The solid bodies of a name, on any layer.
std::vector<tag_t> bodies_named(const Document& doc, const std::string& name) {
    std::vector<tag_t> found;
    for (tag_t tag = doc.next_by_name(name, NULL_TAG); tag != NULL_TAG; tag = doc.next_by_name(name, tag)) {
        const Object* object = doc.find(tag);
        const auto* body = object->as<BodyData>();
        if (body && !body->sheet && object->type == UF_solid_type && Document::valid_layer(object->layer))
            found.push_back(tag);
    }
    return found;
}

// The note as a sheet writes it: cut at a whole character within the room the sheet gives it.
bool same_note(const std::string& note, const std::string& cell) {
    constexpr std::size_t kNoteRoom = 255;
    if (note == cell) return true;
    if (note.size() <= kNoteRoom) return false;
    std::size_t cut = kNoteRoom;
    while (cut > 0 && (static_cast<unsigned char>(note[cut]) & 0xC0) == 0x80) --cut;
    return note.compare(0, cut, cell) == 0 && cut == cell.size();
}

// One body against its row: the line telling what changed, or "" when the row says what its sheet shows already.
std::string apply_row(Object& body, const setup::ElectrodeEntry& entry, const ElectrodeTable& table,
                      const CommandFacts& facts) {
    std::array<std::optional<double>, kTableSlots> own;
    bool carries = false;
    for (int slot = 0; slot < kTableSlots; ++slot)
        carries = (own[slot] = own_value(body, facts.slots[slot])) || carries;
    std::string changes;
    std::array<bool, kTableSlots> write{};
    for (int slot = 0; slot < kTableSlots; ++slot) {
        if (!entry.slots[slot]) continue;
        const bool count = setup::is_count_slot(slot);
        const double wanted = entry.slots[slot]->number;
        std::string was;
        if (own[slot]) {
            if (*own[slot] == wanted || shown(*own[slot], count) == shown(wanted, count)) continue;
            was = shown(*own[slot], count);
        } else if (!carries && slot < 4) {
            char* end = nullptr;
            const std::string& fallback = facts.defaults[slot];
            const double value = std::strtod(fallback.c_str(), &end);
            if (!fallback.empty() && *end == '\0' && shown(value, count) == shown(wanted, count)) continue;
            was = "the default " + (fallback.empty() ? std::string("(none)") : fallback);
        } else {
            was = "none";
        }
        write[slot] = true;
        changes += (changes.empty() ? "" : ", ") + table.slot_headers[slot] + " " + entry.slots[slot]->text + " (was " +
                   was + ")";
    }
    std::optional<std::string> note = entry.note ? own_note(body, facts.note_title) : std::nullopt;
    const bool new_note = entry.note && !(note && same_note(*note, entry.note->text));
    if (new_note) changes += (changes.empty() ? "" : ", ") + table.note_header + " changed";
    if (changes.empty()) return {};
    // A body that showed the defaults keeps on its sheet the values of the row it did not change.
    for (int slot = 0; slot < kTableSlots; ++slot)
        if (entry.slots[slot] && (write[slot] || !carries)) {
            const double value = entry.slots[slot]->number;
            set_attribute(body, facts.slots[slot].title,
                          setup::is_count_slot(slot) ? AttrValue(static_cast<int>(value)) : AttrValue(value));
        }
    if (new_note) set_attribute(body, facts.note_title, entry.note->text);
    return changes;
}

bool read_table(const std::string& bytes, FileKind kind, ElectrodeTable& table, std::string& where,
                std::string& error) {
    setup::CellTable csv;
    std::vector<setup::CellTable> sheets;
    const setup::CellTable* cells = &csv;
    if (kind == FileKind::csv) {
        std::string text = bytes;
        // A spreadsheet saves CSV in the system's code page unless told otherwise: in a Chinese shop, GB18030.
        if (!is_utf8(text)) {
            auto decoded = import::decoded_text(text, "GB18030");
            if (!decoded) {
                error = "neither UTF-8 nor GB18030 text";
                return false;
            }
            text = std::move(*decoded);
        }
        if (!setup::read_csv(text, csv, error)) return false;
    } else {
        if (!setup::read_workbook(bytes, sheets, error)) return false;
        if (!(cells = setup::electrode_sheet(sheets, error))) return false;
        where = "worksheet '" + cells->sheet + "', ";
    }
    return setup::read_electrode_table(*cells, table, error);
}

}  // namespace

bool apply_attribute_files(const std::vector<std::string>& paths, Document& doc, const AttributeSources& sources,
                           std::vector<std::string>& lines, std::string& error) {
    CommandFacts facts;
    for (const std::string& path : paths) {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        if (!ec && size > kMostTableBytes) {
            error = "attribute file '" + path + "': " + std::to_string(size) + " bytes, more than an electrode table " +
                    "or attribute file has (" + std::to_string(kMostTableBytes) + ")";
            return false;
        }
        std::string bytes, why;
        if (!files::read_whole_file(path, bytes, why)) {
            error = "cannot open attribute file '" + path + "': " + why;
            return false;
        }
        const FileKind kind = kind_of(path, bytes);
        if (kind == FileKind::json) {
            if (!import::apply_sidecar_text(bytes, path, doc, error)) return false;
            lines.push_back("attributes: applied " + path);
            continue;
        }
        const std::string named = "electrode table '" + path + "'";
        ElectrodeTable table;
        std::string where;
        if (!read_table(bytes, kind, table, where, error)) {
            error = named + ": " + where + error;
            return false;
        }
        if (!facts.ask(sources, doc, error)) {
            error = named + ": " + error;
            return false;
        }
        std::size_t changed = 0, bodies = 0;
        for (const auto& entry : table.entries) {
            const auto tags = bodies_named(doc, entry.electrode);
            if (tags.empty()) {
                error = named + ": " + where + entry.place + ": no solid body is named \"" + entry.electrode + "\"";
                return false;
            }
            if (entry.note)
                if (const std::string refusal = text_refusal(entry.note->text, "the note"); !refusal.empty()) {
                    error = named + ": " + where + entry.note->place + ": " + refusal;
                    return false;
                }
            for (tag_t tag : tags) {
                Object& body = *doc.find(tag);
                ++bodies;
                const std::string change = apply_row(body, entry, table, facts);
                if (change.empty()) continue;
                ++changed;
                lines.push_back("attributes: " + body.name + " on layer " + std::to_string(body.layer) + ": " + change);
            }
        }
        lines.push_back("attributes: " + path + ": " + std::to_string(table.entries.size()) + " electrode" +
                        (table.entries.size() == 1 ? "" : "s") + ", " + std::to_string(changed) + " of " +
                        std::to_string(bodies) + " bodies changed");
    }
    return true;
}

}  // namespace cadhost::cli
