// The electrode table readers: a workbook (zip archive, XML parts) or CSV text, then the table's columns and rows.
#include <string_view>

#include "cadhost/setup/csv_reader.h"
#include "cadhost/setup/electrode_table.h"
#include "cadhost/setup/xlsx_reader.h"
#include "fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    cadhost::setup::ElectrodeTable table;
    if (bytes.starts_with("PK")) {
        std::vector<cadhost::setup::CellTable> sheets;
        if (!cadhost::setup::read_workbook(bytes, sheets, error)) return 0;
        if (const auto* sheet = cadhost::setup::electrode_sheet(sheets, error))
            cadhost::setup::read_electrode_table(*sheet, table, error);
        return 0;
    }
    cadhost::setup::CellTable cells;
    if (cadhost::setup::read_csv(bytes, cells, error)) cadhost::setup::read_electrode_table(cells, table, error);
    return 0;
}
