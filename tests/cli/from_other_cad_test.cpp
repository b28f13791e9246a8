// A mould from a CAD system that knows nothing of layers, diagonal lines or electrode attributes, brought to sheets in
// one command: bare electrodes on every side, a pair of copies among them, must come out as the sheets of their fully
// modelled twin; the shop's electrode table, the exported setup list edited in a spreadsheet, changes the sheets of the
// electrodes it changes and no other; a hostile table is refused, naming file, row and column.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/in_process.h"
#include "model.h"

namespace {

namespace fs = std::filesystem;
using cli_test::quillon;
using cli_test::Result;

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_text(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The sheets' drawings by file name; the title block's line that names where the part file lies is left out.
std::map<std::string, std::string> drawings(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".svg") continue;
        std::istringstream in(read_text(entry.path()));
        std::string kept;
        for (std::string line; std::getline(in, line);)
            if (line.find("MOULD.PRT") == std::string::npos) kept += line + '\n';
        files[entry.path().filename().string()] = kept;
    }
    return files;
}

std::vector<std::string> differing(const std::map<std::string, std::string>& a,
                                   const std::map<std::string, std::string>& b) {
    std::vector<std::string> names;
    for (const auto& [name, text] : a)
        if (!b.count(name) || b.at(name) != text) names.push_back(name);
    for (const auto& [name, text] : b)
        if (!a.count(name)) names.push_back(name);
    return names;
}

std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The setup list's CSV with the cell of the electrode's rows in the named column set to value.
std::string edited_csv(const std::string& csv, const std::string& electrode, const std::string& column,
                       const std::string& value) {
    std::istringstream in(csv);
    std::string out, line;
    int at = -1;
    for (bool header = true; std::getline(in, line); header = false) {
        std::vector<std::string> fields;
        std::stringstream split(line.substr(0, line.size() - (line.ends_with('\r') ? 1 : 0)));
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        if (header)
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (fields[i] == column || fields[i] == "\xEF\xBB\xBF" + column) at = static_cast<int>(i);
        if (!header && fields.size() > 3 && fields[3] == electrode) fields[at] = value;
        for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + fields[i];
        out += "\r\n";
    }
    return out;
}

int python(const std::vector<std::string>& args) {
    std::string command = std::string(SYSTEM_PYTHON) + " " + WORKBOOKS_SCRIPT;
    for (const auto& arg : args) command += " '" + arg + "'";
    return std::system(command.c_str());
}

class FromOtherCad : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("quillon_from_other_cad_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        for (const char* dir : {"twin", "bare"}) fs::create_directories(root_ / dir);
        const sample::Model twin = sample::build_directions_pairs();
        ASSERT_EQ(sample::write_step((root_ / "twin/mould.step").string(), twin.objects), "");
        ASSERT_EQ(sample::write_step((root_ / "bare/mould.step").string(), sample::bare_objects(twin)), "");
        const Result made = sheets((root_ / "twin/mould.step").string(), {}, root_ / "twin_sheets");
        ASSERT_EQ(made.status, 0) << made.err << made.out;
        twin_ = drawings(root_ / "twin_sheets");
        ASSERT_EQ(twin_.size(), 7u);
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static Result sheets(const std::string& step, std::vector<std::string> options, const fs::path& out) {
        std::vector<std::string> args{"sheets", step,         "--command", COMMAND_LIBRARY,
                                      "-o",     out.string(), "--svg",     "--csv"};
        args.insert(args.end(), options.begin(), options.end());
        return quillon(args);
    }
    // The twin once more, in a folder of its own under the same file name, with the attribute files given.
    static Result twin_with(const std::vector<std::string>& attrs, const std::string& name) {
        const fs::path dir = root_ / name;
        fs::create_directories(dir);
        fs::copy_file(root_ / "twin/mould.step", dir / "mould.step", fs::copy_options::overwrite_existing);
        std::vector<std::string> options;
        for (const auto& file : attrs) options.insert(options.end(), {"--attrs", file});
        return sheets((dir / "mould.step").string(), options, dir / "sheets");
    }

    static inline fs::path root_;
    static inline std::map<std::string, std::string> twin_;
};

TEST_F(FromOtherCad, BareElectrodesOnEverySideGetTheirDiagonalsAndTheTwinsSheets) {
    // Without their lines the run stops at the first electrode, and the command's status is the worst step's.
    const Result stopped = sheets((root_ / "bare/mould.step").string(), {"--auto-layers"}, root_ / "stopped");
    EXPECT_EQ(stopped.status, 1) << stopped.err;
    EXPECT_NE(stopped.out.find("sheets: import done, run stopped, export stopped\n"), std::string::npos) << stopped.out;

    const Result made =
        sheets((root_ / "bare/mould.step").string(), {"--auto-layers", "--add-diagonals"}, root_ / "bare_sheets");
    ASSERT_EQ(made.status, 0) << made.err << made.out;
    // One line per body changed, the copies each with their own, turned with the copy.
    EXPECT_EQ(count_of(made.out, "diagonal line added to "), 7u) << made.out;
    EXPECT_NE(made.out.find("diagonal line added to DT on layer 6 (body 2 of 2): (-20, 5, 0) to (-40, 35, 0)\n"),
              std::string::npos)
        << made.out;
    for (const char* step : {"import: ", "\nrun: ", "\nexport: ", "sheets: import done, run done, export done\n"})
        EXPECT_NE(made.out.find(step), std::string::npos) << step << made.out;
    EXPECT_EQ(differing(drawings(root_ / "bare_sheets"), twin_), std::vector<std::string>{});
    // The same EDM points, depths and boxes in the setup list.
    EXPECT_EQ(read_text(root_ / "bare_sheets/mould.electrodes.csv"),
              read_text(root_ / "twin_sheets/mould.electrodes.csv"));

    // A model whose electrodes have their lines gets none; the core is no electrode.
    const Result again = quillon({"import", (root_ / "twin/mould.step").string(), "--add-diagonals", "--command",
                                  COMMAND_LIBRARY, "-o", (root_ / "again.prt").string()});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out.find("diagonal line added"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("every electrode body that needs one has one"), std::string::npos) << again.out;
}

TEST_F(FromOtherCad, TheSetupListReadBackChangesTheSheetsOfTheElectrodesEditedOnly) {
    const std::string csv = (root_ / "twin_sheets/mould.electrodes.csv").string();
    const std::string xlsx = (root_ / "twin_sheets/mould.electrodes.xlsx").string();
    const Result unchanged = twin_with({csv, xlsx}, "unchanged");
    ASSERT_EQ(unchanged.status, 0) << unchanged.err;
    EXPECT_EQ(count_of(unchanged.out, "6 electrodes, 0 of 7 bodies changed"), 2u) << unchanged.out;
    EXPECT_EQ(differing(drawings(root_ / "unchanged/sheets"), twin_), std::vector<std::string>{});

    // Edited in the CSV: DF's rough gap and DBS's finish count. In the workbook, saved by another program, DF's rough
    // gap again: the later file wins, for its every cell, DBS's count too.
    const fs::path edited = root_ / "edited.csv", book = root_ / "edited.xlsx";
    write_text(edited, edited_csv(edited_csv(read_text(csv), "DF", "粗公火花位(mm)", "0.4"), "DBS", "精公数量", "3"));
    ASSERT_EQ(python({"edit", xlsx, book.string(), "DF", "粗公火花位(mm)", "0.3"}), 0);
    const Result changed = twin_with({edited.string(), book.string()}, "changed");
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_NE(changed.out.find("attributes: DF on layer 4: 粗公火花位(mm) 0.4 (was the default 0.25)"),
              std::string::npos)
        << changed.out;
    EXPECT_NE(changed.out.find("attributes: DF on layer 4: 粗公火花位(mm) 0.3 (was 0.40)"), std::string::npos);
    EXPECT_NE(changed.out.find("attributes: DBS on layer 2: 精公数量 1 (was 3)"), std::string::npos);
    EXPECT_EQ(differing(drawings(root_ / "changed/sheets"), twin_), std::vector<std::string>{"DF.svg"});
    const std::string list = read_text(root_ / "changed/sheets/mould.electrodes.csv");
    const std::size_t df = list.find("\nDF,");
    ASSERT_NE(df, std::string::npos) << list;
    EXPECT_NE(list.substr(df, list.find('\n', df + 1) - df).find(",0.30,0.10,1,1,"), std::string::npos) << list;
}

TEST_F(FromOtherCad, AHostileTableIsRefusedNamingFileRowAndColumn) {
    const fs::path dir = root_ / "hostile";
    fs::create_directories(dir);
    const std::string part = (dir / "mould.prt").string();
    const auto refused = [&](const fs::path& table, const std::string& expected) {
        const Result r = quillon({"import", (root_ / "twin/mould.step").string(), "--attrs", table.string(),
                                  "--command", COMMAND_LIBRARY, "-o", part});
        EXPECT_EQ(r.status, 2) << table;
        EXPECT_NE(r.err.find("electrode table '" + table.string() + "': " + expected), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nothing was written"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(part));
        fs::remove(part);
    };
    const std::vector<std::pair<std::string, std::string>> tables = {
        {"电极名,粗公火花位(mm)\r\nDF,0.2\r\nNOPE,0.2\r\n",
         "row 3, column A (电极名): no solid body is named \"NOPE\""},
        {"electrode,rough_gap\nDF,\"0,2\"\n", "row 2, column B (rough_gap): '0,2' is not a number"},
        {"electrode,note,rough_count\nDF,x,1.5\n", "row 2, column C (rough_count): '1.5' is not a whole number"},
        {"electrode,finish_gap\nDF,-0.1\n", "row 2, column B (finish_gap): '-0.1' is not a number of 0 or more"},
        {"electrode,finish_gap\nDF,=0.1*2\n", "row 2, column B (finish_gap): a formula"},
        {"electrode,finish_gap\nDF,0.1\nDS,0.1\ndf,0.1\n", "row 4 repeats row 2 (electrode df): a duplicate row"},
        {"sheet,electrode,finish_gap\nDT,DT,0.1\nDT_1,DT,0.2\n", "row 3, column C (finish_gap): electrode DT is given"},
        {"sheet,finish_gap\nDT,0.1\n", "row 1, the header, names no electrode column"},
        {"electrode,rough_gap,粗公火花位\nDT,0.1,0.1\n", "row 1: columns B and C both name the column rough_gap"},
        {"electrode,rough_gap\n\"DT,0.1\n", "row 2: a quote is opened and never closed"},
        {"PK\x03\x04 not really a workbook", "not a zip archive"},
    };
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const fs::path file = dir / ("table" + std::to_string(i) + (i + 1 == tables.size() ? ".xlsx" : ".csv"));
        write_text(file, tables[i].first);
        refused(file, tables[i].second);
    }
    const std::string xlsx = (root_ / "twin_sheets/mould.electrodes.xlsx").string();
    ASSERT_EQ(python({"edit", xlsx, (dir / "formula.xlsx").string(), "DF", "粗公火花位(mm)", "=0.1+0.2"}), 0);
    refused(dir / "formula.xlsx", "worksheet '放电设置表', row 5, column O (粗公火花位(mm)): a formula");
    ASSERT_EQ(python({"bomb", (dir / "bomb.xlsx").string()}), 0);
    refused(dir / "bomb.xlsx", "'xl/worksheets/sheet1.xml' in the zip archive unpacks to 83886103 bytes, more than");
    const std::string whole = read_text(xlsx);
    write_text(dir / "cut.xlsx", whole.substr(0, whole.size() - 100));
    refused(dir / "cut.xlsx", "not a zip archive");
}

}  // namespace
