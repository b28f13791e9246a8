// The dialog file reader, and every field's default and choices read back through the value parser.
#include <sstream>

#include "cadhost/dialog/dialog_file.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    cadhost::dialog::DialogDefinition definition;
    std::string error;
    if (!cadhost::dialog::parse_dialog(in, "fuzz.dlg", definition, error)) return 0;
    for (const auto& field : definition.fields) {
        cadhost::dialog::FieldValue value;
        std::string why;
        cadhost::dialog::parse_value(field, cadhost::dialog::format_value(field.initial), value, why);
    }
    return 0;
}
