// Part files damaged in the ways that once crashed, hung or misled `dump` and `export`: each is refused with exit
// status 2 and a message naming the file and the place, and an export writes nothing.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cadhost/partfile/part_file.h"
#include "hardening/hardening_fixture.h"
#include "hardening/one_sheet_part.h"
#include "hardening/quillon_process.h"
#include "host/uf_types.h"

namespace {

using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

class DamagedParts : public hardening::ScratchTest {
  protected:
    // The small mould with an attribute on its body and one sheet with a top view: a part that exports.
    void SetUp() override {
        ScratchTest::SetUp();
        const Outcome imported = run_quillon({"import", input("small_mould.step"), "-o", path("base.prt")});
        ASSERT_EQ(imported.status, 0) << describe(imported);
        cadhost::partfile::LoadedPart part;
        std::string error;
        ASSERT_TRUE(cadhost::partfile::load(path("base.prt"), part, error)) << error;
        cadhost::Document& doc = part.document;
        const tag_t body = doc.next_on_layer(6, NULL_TAG);
        doc.find(body)->attributes.push_back({"ELEC_NOTE", std::string("先粗后精")});

        view_ = hardening::add_sheet_with_top_view(doc);
        ASSERT_TRUE(cadhost::partfile::save(path("base.prt"), doc, std::nullopt, error)) << error;
    }

    // A copy of the base part with the SQL run on it.
    std::string crafted(const std::string& name, const std::string& sql) {
        const std::string file = path(name + ".prt");
        std::filesystem::copy_file(path("base.prt"), file);
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
        sqlite3_free(message);
        sqlite3_close(db);
        return file;
    }

    // A copy of the base part with the committed patch applied.
    std::string damaged(const std::string& patch) {
        std::ifstream in(input("parts/" + patch + ".sql"));
        std::stringstream text;
        text << in.rdbuf();
        std::string sql = text.str();
        char tag[17];
        std::snprintf(tag, sizeof tag, "%02X000000%08X", view_ & 0xff, 0);  // little-endian, tags stay below 256 here
        for (std::size_t at; (at = sql.find("{VIEW}")) != std::string::npos;) sql.replace(at, 6, tag);
        const std::string file = path(patch + ".prt");
        std::filesystem::copy_file(path("base.prt"), file);
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << message;
        EXPECT_EQ(sqlite3_changes(db), 1) << patch << " changes exactly one row";
        sqlite3_free(message);
        sqlite3_close(db);
        return file;
    }

    // dump and export both refuse the part with a message that holds the place; the export folder stays empty.
    void expect_refused(const std::string& patch, const std::string& place) {
        SCOPED_TRACE(patch);
        const std::string file = damaged(patch);
        const Outcome dump = run_quillon({"dump", file});
        EXPECT_TRUE(dump.exited && dump.status == 2) << describe(dump);
        EXPECT_NE(dump.err.find("part file '" + file + "' is damaged: "), std::string::npos) << dump.err;
        EXPECT_NE(dump.err.find(place), std::string::npos) << dump.err;
        const Outcome exported = run_quillon({"export", file, "-o", path(patch)});
        EXPECT_TRUE(exported.exited && exported.status == 2) << describe(exported);
        EXPECT_NE(exported.err.find(place), std::string::npos) << exported.err;
        EXPECT_FALSE(std::filesystem::exists(path(patch))) << "nothing is exported from a damaged part";
    }

    tag_t view_ = NULL_TAG;
};

TEST_F(DamagedParts, TheUndamagedPartExports) {
    const Outcome exported = run_quillon({"export", path("base.prt"), "-o", path("out"), "--svg"});
    ASSERT_EQ(exported.status, 0) << describe(exported);
    EXPECT_TRUE(std::filesystem::exists(path("out/SHEET1.svg")));
}

TEST_F(DamagedParts, AViewThatIsItsOwnParentIsRefused) {
    const std::string v = std::to_string(view_);
    expect_refused("view_own_parent", "object " + v + " (a drawing view): its parent chain comes back to view " + v);
}

TEST_F(DamagedParts, ALayerStateOutOfRangeIsRefused) { expect_refused("layer_state_256", "layer 6 has state 256"); }

TEST_F(DamagedParts, AnAttributeTitleThatIsNotUtf8IsRefused) {
    expect_refused("attribute_title_byte_ac", "(a body): an attribute title: byte 6 is not UTF-8");
}

TEST_F(DamagedParts, ANanViewScaleIsRefused) {
    expect_refused("view_scale_nan", "object " + std::to_string(view_) + " (a drawing view): its scale is nan");
}

TEST_F(DamagedParts, AGridTooFineToDrawIsRefused) {
    expect_refused("grid_spacing_1e-9", "the sheets' grid spacing is 1e-09 mm");
}

// Normalised, it would be a zero vector: a run would save it and nothing could open the part again.
TEST_F(DamagedParts, ADirectionThatOverflowsWhenNormalisedIsRefused) {
    expect_refused("direction_overflow", "the part's settings are damaged: a direction (1e+300, 1e+300, 0)");
}

// What a part file never holds is refused by name before anything is read, and nothing of it runs: a trigger that
// would empty the part on the projections' write leaves it whole.
TEST_F(DamagedParts, SchemaObjectsThisProgramNeverWritesAreRefusedByName) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"CREATE TABLE projections(key TEXT PRIMARY KEY, edges BLOB NOT NULL);"
         "CREATE TRIGGER wipe AFTER INSERT ON projections BEGIN DELETE FROM objects; END;",
         "trigger 'wipe'"},
        {"CREATE VIEW everything AS SELECT * FROM objects;", "view 'everything'"},
        {"CREATE TABLE extra(x); CREATE INDEX by_name ON objects(name);", "index 'by_name', table 'extra'"},
        {"ALTER TABLE meta ADD COLUMN note TEXT DEFAULT 'x';", "table 'meta' (not as this program makes it)"}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& [sql, named] = cases[i];
        SCOPED_TRACE(named);
        const std::string file = crafted("schema" + std::to_string(i), sql);
        for (const char* command : {"dump", "export", "undo"}) {
            std::vector<std::string> args{command, file};
            if (std::string(command) == "export") args.insert(args.end(), {"-o", path("out")});
            const Outcome outcome = run_quillon(args);
            EXPECT_TRUE(outcome.exited && outcome.status == 2) << command << ": " << describe(outcome);
            EXPECT_NE(outcome.err.find("part file '" + file +
                                       "' is refused: it holds what this program never writes "
                                       "into a part: " +
                                       named),
                      std::string::npos)
                << outcome.err;
        }
        cadhost::partfile::LoadedPart part;
        std::string error;
        EXPECT_FALSE(cadhost::partfile::load(file, part, error));
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT count(*) FROM objects", -1, &count, nullptr);
        ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
        EXPECT_GT(sqlite3_column_int(count, 0), 10) << "the part's objects are all there";
        sqlite3_finalize(count);
        sqlite3_close(db);
    }
    EXPECT_FALSE(std::filesystem::exists(path("out")));
}

}  // namespace
