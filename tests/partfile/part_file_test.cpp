// The part file: what is saved comes back exactly, saves are atomic, and bad files are refused with a message.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <TopLoc_Location.hxx>
#include <TopoDS_Face.hxx>

#include "cadhost/document/dump_json.h"
#include "cadhost/geometry/queries.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/partfile/projection_table.h"

namespace {

namespace fs = std::filesystem;
using cadhost::Document;
using cadhost::partfile::LoadedPart;

class PartFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quillon_pf_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const char* name) const { return (dir_ / name).string(); }

    // A part with one of everything the document holds.
    static Document sample() {
        Document doc;
        tag_t box = doc.add_body(BRepPrimAPI_MakeBox(gp_Pnt(-5, -5, 0), 10, 10, 4).Shape(), false);
        doc.set_layer(box, 3);
        doc.set_name(box, "E01");
        doc.find(box)->attributes.push_back({"ELEC_ROUGH_SPACE", 0.2});
        doc.find(box)->attributes.push_back({"elec_rough_number", 2});
        doc.find(box)->attributes.push_back({"ELEC_NOTE", std::string("先粗后精")});
        doc.face_tag(box, 4);
        doc.edge_tag(box, 7);
        tag_t cyl = doc.add_body(BRepPrimAPI_MakeCylinder(5, 10).Shape(), false);
        doc.set_layer(cyl, 240);
        doc.find(cyl)->blank_status = 1;
        tag_t line = doc.add_line(gp_Pnt(-5, -5, 4), gp_Pnt(5, 5, 4));
        doc.set_layer(line, 3);
        doc.find(line)->font = 3;
        doc.add_arc(cadhost::ArcData{gp_Ax2(gp_Pnt(1, 2, 3), gp::DZ()), 2.5, 0, 2 * M_PI});
        doc.add_point(gp_Pnt(0.125, -7, 3.5));
        doc.set_layer_status(254, UF_LAYER_WORK_LAYER);
        doc.set_layer_status(17, UF_LAYER_INACTIVE_LAYER);
        doc.set_application_module(UF_APP_DRAFTING);
        cadhost::DraftingPreferences prefs;
        prefs.mpi[30] = 4;
        prefs.mpr[44] = 3.175;
        prefs.diameter_text = "Φ";
        doc.set_drafting_preferences(prefs);
        return doc;
    }
    static std::string json(const Document& doc) { return cadhost::dump_document(doc).dump(); }

    fs::path dir_;
};

TEST_F(PartFileTest, WhatIsSavedComesBackExactlyWithItsTagsAndItsUndoMark) {
    Document before = sample();
    Document mark = before;
    tag_t added = before.add_point(gp_Pnt(9, 9, 9));
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("a.prt"), before, mark, error)) << error;
    LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load(path("a.prt"), loaded, error)) << error;
    EXPECT_EQ(json(loaded.document), json(before));
    ASSERT_TRUE(loaded.undo_mark.has_value());
    EXPECT_EQ(json(*loaded.undo_mark), json(mark));
    EXPECT_EQ(loaded.undo_mark->find(added), nullptr);
    EXPECT_EQ(loaded.document.next_tag(), before.next_tag()) << "tags are never given out twice";

    // A face tag asked before the save names the same face after it.
    tag_t box = loaded.document.next_on_layer(3, NULL_TAG);
    double saved_box[6], loaded_box[6];
    ASSERT_TRUE(cadhost::geometry::exact_box(before.shape_of(before.face_tag(box, 4)), saved_box));
    ASSERT_TRUE(cadhost::geometry::exact_box(loaded.document.shape_of(loaded.document.face_tag(box, 4)), loaded_box));
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(saved_box[i], loaded_box[i]);
    EXPECT_EQ(loaded.document.face_tag(box, 4), before.face_tag(box, 4));
    EXPECT_EQ(loaded.document.work_layer(), 254);
    EXPECT_TRUE(loaded.document.drafting_preferences() == before.drafting_preferences());
    EXPECT_EQ(loaded.document.drafting_preferences().diameter_text, "Φ");
    EXPECT_EQ(loaded.document.layer_status(17), UF_LAYER_INACTIVE_LAYER);
}

int table_count(const std::string& part, const char* table) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(part.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE name = ?", -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, table, -1, SQLITE_TRANSIENT);
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

// Parts written before bodies had colours hold no colour table; they load, and are saved again the same way.
TEST_F(PartFileTest, ColoursComeBackAndAPartWithoutThemKeepsTheOldForm) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("plain.prt"), sample(), std::nullopt, error)) << error;
    EXPECT_EQ(table_count(path("plain.prt"), "colours"), 0);
    LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load(path("plain.prt"), loaded, error)) << error;
    for (const auto& [tag, object] : loaded.document.objects()) EXPECT_FALSE(object.rgb.has_value()) << tag;

    Document coloured = sample();
    Document mark = coloured;
    const tag_t box = coloured.next_on_layer(3, NULL_TAG);
    coloured.find(box)->rgb = 0xB87333;
    coloured.find(box)->line_width = 2;
    mark.find(box)->rgb = 0x000000;
    ASSERT_TRUE(cadhost::partfile::save(path("c.prt"), coloured, mark, error)) << error;
    ASSERT_TRUE(cadhost::partfile::load(path("c.prt"), loaded, error)) << error;
    EXPECT_EQ(loaded.document.find(box)->rgb, 0xB87333u);
    EXPECT_EQ(loaded.document.find(box)->line_width, 2);
    EXPECT_EQ(loaded.undo_mark->find(box)->rgb, 0u) << "black is a colour of its own, not none";
    EXPECT_EQ(json(loaded.document), json(coloured));

    for (const char* damage : {"UPDATE colours SET rgb = 16777216", "UPDATE colours SET rgb = -1",
                               "UPDATE colours SET rgb = 'copper'", "UPDATE colours SET tag = 9999"}) {
        fs::copy_file(path("c.prt"), path("bad.prt"), fs::copy_options::overwrite_existing);
        sqlite3* db = nullptr;
        sqlite3_open(path("bad.prt").c_str(), &db);
        ASSERT_EQ(sqlite3_exec(db, damage, nullptr, nullptr, nullptr), SQLITE_OK) << damage;
        sqlite3_close(db);
        EXPECT_FALSE(cadhost::partfile::load(path("bad.prt"), loaded, error)) << damage;
        EXPECT_NE(error.find("the colour of object"), std::string::npos) << error;
    }

    coloured.find(box)->rgb = 0x1000000;
    EXPECT_FALSE(cadhost::partfile::save(path("c.prt"), coloured, std::nullopt, error));
    EXPECT_NE(error.find("its drawn colour is"), std::string::npos) << error;
}

TEST_F(PartFileTest, ASaveKilledAtAnyStageLeavesThePreviousPartIntact) {
    std::string error;
    Document old_part = sample();
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), old_part, std::nullopt, error)) << error;
    const std::string expected = json(old_part);

    Document bigger = sample();
    for (int i = 0; i < 300; ++i) bigger.add_point(gp_Pnt(i, 0, 0));
    for (const char* stage : {"begin", "objects", "commit", "rename"}) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::string child_error;
            cadhost::partfile::save(path("p.prt"), bigger, std::nullopt, child_error, [&](const char* at) {
                if (std::string(at) == stage) ::kill(::getpid(), SIGKILL);
            });
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << stage;
        LoadedPart loaded;
        ASSERT_TRUE(cadhost::partfile::load(path("p.prt"), loaded, error)) << stage << ": " << error;
        EXPECT_EQ(json(loaded.document), expected) << stage;
    }
    // The next save goes through and leaves no temporary file behind.
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), bigger, std::nullopt, error)) << error;
    LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load(path("p.prt"), loaded, error));
    EXPECT_EQ(json(loaded.document), json(bigger));
}

// A placement that shrinks a shape to nothing in doubles: the kernel writes it, but cannot read it back.
TopoDS_Shape unreadable_box() {
    gp_Trsf shrink;
    shrink.SetScale(gp_Pnt(0, 0, 0), 1e-110);
    return BRepPrimAPI_MakeBox(10, 10, 10).Shape().Moved(TopLoc_Location(shrink), Standard_False);
}

TEST_F(PartFileTest, AShapeThatDoesNotReadBackIsRefusedNamingItsObjectAndThePartStaysAsItWas) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), sample(), std::nullopt, error)) << error;
    const std::string before = json(sample());

    Document with_bad_body = sample();
    const tag_t bad = with_bad_body.add_body(unreadable_box(), false);
    with_bad_body.set_name(bad, "SHRUNK");
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), with_bad_body, std::nullopt, error));
    EXPECT_EQ(error, "cannot save part file '" + path("p.prt") + "': object " + std::to_string(bad) +
                         " (a body \"SHRUNK\"): it cannot be read back from the part file's form");
    // In the undo mark only, it is refused all the same.
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), sample(), with_bad_body, error));
    EXPECT_NE(error.find("(a body \"SHRUNK\"): it cannot be read back"), std::string::npos) << error;

    // A body that was read from the part file, then given another shape, is checked again.
    LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load(path("p.prt"), loaded, error)) << error;
    EXPECT_EQ(json(loaded.document), before);
    for (auto& [tag, object] : loaded.document.objects())
        if (auto* body = loaded.document.find(tag)->as<cadhost::BodyData>()) body->shape = unreadable_box();
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), loaded.document, std::nullopt, error));
    EXPECT_NE(error.find("it cannot be read back"), std::string::npos) << error;

    ASSERT_TRUE(cadhost::partfile::load(path("p.prt"), loaded, error)) << error;
    EXPECT_EQ(json(loaded.document), before) << "a refused save changed the part";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "a temporary file is left";
}

TEST_F(PartFileTest, FilesThatAreNotPartsAreRefusedWithAMessageNamingThem) {
    LoadedPart loaded;
    std::string error;
    EXPECT_FALSE(cadhost::partfile::load(path("missing.prt"), loaded, error));
    EXPECT_NE(error.find("missing.prt"), std::string::npos);
    EXPECT_NE(error.find("no such file"), std::string::npos);

    std::ofstream(path("text.prt")) << "ISO-10303-21;\nHEADER;\n";
    EXPECT_FALSE(cadhost::partfile::load(path("text.prt"), loaded, error));
    EXPECT_EQ(error, "'" + path("text.prt") + "' is not a part file");

    sqlite3* db = nullptr;
    sqlite3_open(path("other.db").c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(cadhost::partfile::load(path("other.db"), loaded, error));
    EXPECT_NE(error.find("is not a part file"), std::string::npos) << error;
}

TEST_F(PartFileTest, APartOfAnotherVersionIsRefused) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("v.prt"), sample(), std::nullopt, error));
    sqlite3* db = nullptr;
    sqlite3_open(path("v.prt").c_str(), &db);
    sqlite3_exec(db, "UPDATE meta SET value = '7' WHERE key = 'version'", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    LoadedPart loaded;
    EXPECT_FALSE(cadhost::partfile::load(path("v.prt"), loaded, error));
    EXPECT_NE(error.find("has format version 7; this program reads version 1"), std::string::npos) << error;
}

TEST_F(PartFileTest, DamagedPartsAreRefusedNeverCrash) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("d.prt"), sample(), std::nullopt, error));
    const auto size = fs::file_size(path("d.prt"));

    // A shape record whose bytes changed.
    fs::copy_file(path("d.prt"), path("shape.prt"));
    sqlite3* db = nullptr;
    sqlite3_open(path("shape.prt").c_str(), &db);
    sqlite3_exec(db, "UPDATE shapes SET brep = substr(brep, 1, length(brep) / 2) || zeroblob(10) WHERE id = 1", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
    LoadedPart loaded;
    EXPECT_FALSE(cadhost::partfile::load(path("shape.prt"), loaded, error));
    EXPECT_NE(error.find("is damaged: object"), std::string::npos) << error;
    EXPECT_NE(error.find("shape 1 is damaged"), std::string::npos) << error;

    // A payload cut short, and a body whose face record points past its faces.
    fs::copy_file(path("d.prt"), path("payload.prt"));
    sqlite3_open(path("payload.prt").c_str(), &db);
    sqlite3_exec(db, "UPDATE objects SET payload = substr(payload, 1, 5) WHERE kind = 'line'", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
    EXPECT_FALSE(cadhost::partfile::load(path("payload.prt"), loaded, error));
    EXPECT_NE(error.find("payload ends early"), std::string::npos) << error;

    // The file cut in the middle and overwritten with noise, at several places.
    std::string bytes;
    {
        std::ifstream in(path("d.prt"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    for (std::size_t at : {std::size_t{100}, size / 3, size / 2, size - 600}) {
        std::string broken = bytes;
        for (std::size_t i = at; i < std::min(broken.size(), at + 512); ++i) broken[i] = static_cast<char>(i * 31);
        std::ofstream(path("noise.prt"), std::ios::binary) << broken;
        LoadedPart noisy;
        std::string message;
        bool ok = cadhost::partfile::load(path("noise.prt"), noisy, message);
        if (!ok) {
            EXPECT_NE(message.find("noise.prt"), std::string::npos) << message;
        }
    }
    std::ofstream(path("cut.prt"), std::ios::binary) << bytes.substr(0, size / 2);
    EXPECT_FALSE(cadhost::partfile::load(path("cut.prt"), loaded, error));
    EXPECT_NE(error.find("cut.prt"), std::string::npos);
}

// Components whose squares overflow normalise to a zero vector, which nothing reading the part again survives: a save
// refuses it as a load would, and the part on disk stays as it was.
TEST_F(PartFileTest, ADirectionWithoutUsableLengthIsNeverSaved) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), sample(), std::nullopt, error)) << error;
    Document doc = sample();
    const tag_t top = doc.find_model_view("TOP");
    ASSERT_NE(top, NULL_TAG);
    doc.find(top)->as<cadhost::ModelViewData>()->orientation.up = gp_Dir(0, 1e300, 1e300);
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), doc, std::nullopt, error));
    EXPECT_NE(
        error.find("object " + std::to_string(top) + " (a model view): the up direction is not a direction (0, 0, 0)"),
        std::string::npos)
        << error;
    cadhost::ViewOrientation work = sample().work_view();
    work.toward_eye = gp_Dir(-1e300, 0, 1e300);
    doc = sample();
    doc.set_work_view(work);
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), sample(), doc, error));
    EXPECT_NE(error.find("the undo mark: the work view: the direction toward the eye is not a direction"),
              std::string::npos)
        << error;
    LoadedPart loaded;
    ASSERT_TRUE(cadhost::partfile::load(path("p.prt"), loaded, error)) << error;
    EXPECT_EQ(json(loaded.document), json(sample()));
}

// A part that carries SQL of its own is neither read from nor written to: a trigger that would empty it when the
// projections are written never fires.
TEST_F(PartFileTest, ProjectionsAreNeverWrittenIntoAPartThatCarriesItsOwnSql) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), sample(), std::nullopt, error)) << error;
    sqlite3* db = nullptr;
    sqlite3_open(path("p.prt").c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE projections(key TEXT PRIMARY KEY, edges BLOB NOT NULL);"
                           "CREATE TRIGGER wipe AFTER INSERT ON projections BEGIN DELETE FROM objects; END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    auto count = [&](const char* table) {
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db, (std::string("SELECT count(*) FROM ") + table).c_str(), -1, &query, nullptr);
        const int rows = sqlite3_step(query) == SQLITE_ROW ? sqlite3_column_int(query, 0) : -1;
        sqlite3_finalize(query);
        return rows;
    };
    const int objects = count("objects");
    EXPECT_FALSE(cadhost::partfile::keep_projections(path("p.prt"), {{"k", "edges"}}, {"k"}, error));
    EXPECT_NE(error.find("holds what this program never writes into a part: trigger 'wipe'"), std::string::npos)
        << error;
    EXPECT_FALSE(cadhost::partfile::read_projections(
        path("p.prt"), [](std::string, std::string) {}, error));
    EXPECT_EQ(count("objects"), objects);
    EXPECT_EQ(count("projections"), 0);
    sqlite3_close(db);
}

// The library would read a write-ahead log beside a part into any file under the part's name: a part in that mode is
// not opened (nor given a log by opening it), and no part is saved over one with a log beside it.
TEST_F(PartFileTest, APartInWriteAheadLogModeIsRefusedAndNeverReplaced) {
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(path("p.prt"), sample(), std::nullopt, error)) << error;
    sqlite3* db = nullptr;
    sqlite3_open(path("p.prt").c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    LoadedPart loaded;
    EXPECT_FALSE(cadhost::partfile::load(path("p.prt"), loaded, error));
    EXPECT_NE(error.find("is refused: it is in write-ahead-log mode"), std::string::npos) << error;
    EXPECT_FALSE(cadhost::partfile::save(path("p.prt"), sample(), std::nullopt, error));
    EXPECT_NE(error.find("it is in write-ahead-log mode"), std::string::npos) << error;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1) << "no log was made";

    std::ofstream(path("q.prt-wal")) << "a log";
    EXPECT_FALSE(cadhost::partfile::save(path("q.prt"), sample(), std::nullopt, error));
    EXPECT_NE(error.find("a write-ahead log '" + path("q.prt") + "-wal' lies beside it"), std::string::npos) << error;
}

}  // namespace
