// What an export writes from texts a spreadsheet or a reader would misread: formula-like cells are texts, no text
// can make an ill-formed file, the DXF and the workbook are the same from export to export, and a run whose sheets lack
// their template does not end as complete.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cadhost/partfile/part_file.h"
#include "hardening/hardening_fixture.h"
#include "hardening/quillon_process.h"

namespace {

namespace fs = std::filesystem;
using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

using hardening::write;

using hardening::contents;

// The cells of a CSV file as RFC 4180 reads them.
std::vector<std::string> cells_of(const std::string& csv) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"')
                cells.back() += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                cells.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',' || c == '\n') {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

class ExportOutputs : public hardening::ScratchTest {
  protected:
    // The sample mould, its electrode E06's note a formula, imported and run on E06's layer.
    void make_part(const std::vector<std::string>& run_options = {}) {
        std::string attrs = contents(sample("sample_mould.attrs.json"));
        const std::size_t e06 = attrs.find("\"attributes\": {", attrs.find("\"name\": \"E06\""));
        ASSERT_NE(e06, std::string::npos);
        attrs.insert(e06 + 15, R"j("ELEC_NOTE": {"string": "=HYPERLINK(\"http://example.invalid\",\"x\")"}, )j");
        write(path("m.attrs.json"), attrs);
        const Outcome imported =
            run_quillon({"import", sample("sample_mould.step"), "--attrs", path("m.attrs.json"), "-o", path("m.prt")});
        ASSERT_EQ(imported.status, 0) << describe(imported) << imported.err;
        std::vector<std::string> args{"run", path("m.prt"), "--set", "INT_1=6", "--set", "INT_2=6"};
        args.insert(args.end(), run_options.begin(), run_options.end());
        run_ = run_quillon(args);
    }
    Outcome run_;
};

TEST_F(ExportOutputs, FormulaCellsAreTextsAndTheDxfIsTheSameFromExportToExport) {
    make_part();
    ASSERT_EQ(run_.status, 0) << describe(run_) << run_.err;
    for (const char* folder : {"a", "b"}) {
        const Outcome exported = run_quillon({"export", path("m.prt"), "-o", path(folder), "--csv", "--dxf"});
        ASSERT_EQ(exported.status, 0) << describe(exported) << exported.err;
    }
    const std::regex plain_number("[-+]?[0-9]*\\.?[0-9]+");
    bool note_seen = false;
    for (const char* list : {"m.electrodes.csv", "m.bom.csv"}) {
        for (const std::string& cell : cells_of(contents(path(std::string("a/") + list)))) {
            note_seen = note_seen || cell == "'=HYPERLINK(\"http://example.invalid\",\"x\")";
            if (cell.empty() || std::regex_match(cell, plain_number)) continue;
            EXPECT_EQ(std::string("=+-@\t\r").find(cell[0]), std::string::npos) << list << ": " << cell;
        }
    }
    EXPECT_TRUE(note_seen);

    // The DXF header and the workbook carry no time stamp, so the files are equal byte for byte.
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(path("a"))) {
        if (entry.path().extension() != ".dxf" && entry.path().extension() != ".xlsx") continue;
        EXPECT_TRUE(contents(entry.path()) == contents(path("b") / entry.path().filename()))
            << entry.path().filename() << " differs between two exports";
        ++compared;
    }
    EXPECT_EQ(compared, 2);
}

TEST_F(ExportOutputs, ASheetWhoseTemplateCannotBeReadIsWarnedOfAndTheRunIsNotComplete) {
    fs::copy(std::string(QUILLON_SOURCE_DIR) + "/conf", path("conf"), fs::copy_options::recursive);
    fs::remove(path("conf/my_edm_A4_a.prt"));
    make_part({"--conf", path("conf")});
    EXPECT_TRUE(run_.exited && run_.status == 1) << describe(run_) << run_.err;
    EXPECT_NE(run_.out.find("warning: the sheet \"E06\" lacks its template: "), std::string::npos) << run_.out;
    EXPECT_NE(run_.err.find("quillon run: made 1 sheet; 1 sheet lacks its template: "), std::string::npos) << run_.err;
    EXPECT_NE(run_.out.find("saved "), std::string::npos) << "the sheets stay for undo to take back";
}

TEST_F(ExportOutputs, NoTextInAPartMakesAnIllFormedFile) {
    // Texts that reached a part before the entry checks: a sheet's name with a bell, an escape and U+FFFE, which
    // the PDF's page label cannot hold.
    make_part();
    ASSERT_EQ(run_.status, 0) << describe(run_) << run_.err;
    cadhost::partfile::LoadedPart part;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(path("m.prt"), part, error)) << error;
    for (const auto& [tag, object] : part.document.objects())
        if (object.type == UF_drawing_type) part.document.find(tag)->name = "E\a06\x1b\xEF\xBF\xBE";
    ASSERT_TRUE(cadhost::partfile::save(path("m.prt"), part.document, std::nullopt, error)) << error;

    const Outcome exported = run_quillon({"export", path("m.prt"), "-o", path("out")});
    ASSERT_EQ(exported.status, 0) << describe(exported) << exported.err;
    EXPECT_TRUE(fs::exists(path("out/m.pdf")));
    for (const auto& entry : fs::directory_iterator(path("out"))) {
        const std::string ext = entry.path().extension();
        if (ext != ".svg" && ext != ".html" && ext != ".dxf") continue;
        const std::string bytes = contents(entry.path());
        for (unsigned char c : bytes) EXPECT_FALSE(c < 0x20 && c != '\t' && c != '\n' && c != '\r') << entry.path();
        EXPECT_EQ(bytes.find("\xEF\xBF\xBE"), std::string::npos) << entry.path();
    }
}

TEST_F(ExportOutputs, ANameCutAtImportLeavesRoomForTheSecondSheetOfIt) {
    // 35 bytes, cut at a character boundary: a second sheet of the electrode appends "_1" to what is kept.
    std::string text = contents(sample("sample_mould.step"));
    const std::string long_name = "E06_COPPER_ELECTRODE_铜公_FINISH";
    for (std::size_t at; (at = text.find("'E06'")) != std::string::npos;) text.replace(at, 5, "'" + long_name + "'");
    write(path("long.step"), text);
    const Outcome imported = run_quillon({"import", path("long.step"), "-o", path("l.prt")});
    ASSERT_EQ(imported.status, 0) << describe(imported) << imported.err;
    EXPECT_NE(imported.out.find("kept as \"E06_COPPER_ELECTRODE_铜\""), std::string::npos) << imported.out;
    for (const char* made : {"made 1 sheet", "made 1 sheet"}) {
        const Outcome run = run_quillon({"run", path("l.prt"), "--set", "INT_1=6", "--set", "INT_2=6"});
        EXPECT_EQ(run.status, 0) << describe(run) << run.err;
        EXPECT_NE(run.out.find(made), std::string::npos) << run.out;
    }
}

}  // namespace
