#include "cadhost/cli/help_text.h"

#include <Standard_Version.hxx>

#include "cadhost/dialog/dialog_file.h"
#include "cadhost/dialog/dialog_lookup.h"

#ifndef QUILLON_VERSION
#define QUILLON_VERSION "unknown"
#endif

namespace cadhost::cli {

std::string version_text() {
    return std::string("quillon ") + QUILLON_VERSION + " (geometry kernel Open CASCADE " + OCC_VERSION_COMPLETE + ")";
}

namespace {

void write_field(std::ostream& out, const dialog::Field& field) {
    out << "  " << field.id << " (" << dialog::kind_name(field.kind) << ")";
    if (!field.label.empty()) out << "  " << field.label;
    if (!field.name.empty()) out << " (" << field.name << ")";
    if (!field.opens.empty())
        out << "; opens with " << field.opens << '\n';
    else
        out << "; opens with " << (field.kind == dialog::FieldKind::Text ? "\"" : "")
            << dialog::format_value(field.initial) << (field.kind == dialog::FieldKind::Text ? "\"" : "") << '\n';
    for (const auto& choice : field.choices) out << "      " << choice.value << "  " << choice.text << '\n';
}

}  // namespace

bool write_dialog_fields(std::ostream& out, const std::string& command_library, const std::string& conf_dir,
                         std::string& error) {
    const auto files = dialog::dialog_files_in(dialog::dialog_search_dirs(command_library, conf_dir));
    if (files.empty()) {
        error =
            "no dialog file (*.dlg) beside the command library or in the configuration directory '" + conf_dir + "'";
        return false;
    }
    for (const auto& file : files) {
        dialog::DialogDefinition definition;
        if (!dialog::read_dialog_file(file, definition, error)) return false;
        out << "dialog " << definition.title << " (" << file
            << "), set with --set FIELD=VALUE (the identifier or the name in brackets):\n";
        for (const auto& field : definition.fields) write_field(out, field);
    }
    return true;
}

}  // namespace cadhost::cli
