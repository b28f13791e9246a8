// The command line end to end: import the sample, run a command, undo it, and refuse what cannot be read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/sheet_files.h"
#include "cadhost/render/svg_writer.h"
#include "cadhost/session/session.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
};

Result quillon(std::vector<std::string> args) {
    std::ostringstream out, err;
    cadhost::Session::instance().ui().set_terminal(nullptr);
    int status = cadhost::cli::dispatch(args, out, err);
    return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quillon_cli_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string sample(const char* name) { return std::string(QUILLON_SOURCE_DIR) + "/examples/" + name; }

    nlohmann::json dump(const std::string& part) {
        Result r = quillon({"dump", part});
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out);
    }
    static int count_kind(const nlohmann::json& part, const std::string& kind) {
        int n = 0;
        for (const auto& o : part["part"]["objects"]) n += o["kind"] == kind;
        return n;
    }
    fs::path dir_;
};

TEST_F(CliTest, ImportRunAndUndoTheSampleMould) {
    Result imported = quillon(
        {"import", sample("sample_mould.step"), "--attrs", sample("sample_mould.attrs.json"), "-o", path("mould.prt")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.out.find("layer 240: 1 solid body"), std::string::npos) << imported.out;

    nlohmann::json before = dump(path("mould.prt"));
    EXPECT_TRUE(before["undo_mark"].is_null());
    const int points = count_kind(before, "point");

    Result run = quillon({"run", path("mould.prt"), "--command", PROBE_UNLOAD_NOW});
    ASSERT_EQ(run.status, 0) << run.err;
    nlohmann::json after = dump(path("mould.prt"));
    EXPECT_EQ(count_kind(after, "point"), points + 1) << "the command's work is saved";
    EXPECT_FALSE(after["undo_mark"].is_null());
    std::ifstream listing(path("mould.lst"));
    std::stringstream text;
    text << listing.rdbuf();
    EXPECT_EQ(text.str(), "probe run 1 param ''\nprobe cleanup\n") << "the listing file lies beside the part";

    Result undone = quillon({"undo", path("mould.prt")});
    ASSERT_EQ(undone.status, 0) << undone.err;
    nlohmann::json restored = dump(path("mould.prt"));
    EXPECT_EQ(restored["part"], before["part"]);
    Result again = quillon({"undo", path("mould.prt")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("has no undo mark"), std::string::npos);
}

TEST_F(CliTest, UnreadableInputEndsWithStatusTwoAndWritesNothing) {
    std::ofstream(path("bad.attrs.json")) << R"({"quillon_attrs": 1, "objects": [{"layer": 1, "index": 9}]})";
    Result refused =
        quillon({"import", sample("sample_mould.step"), "--attrs", path("bad.attrs.json"), "-o", path("out.prt")});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("objects[0]: layer 1 has no object 9"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(path("out.prt")));

    std::ofstream(path("not_step.step")) << "hello\n";
    EXPECT_EQ(quillon({"import", path("not_step.step"), "-o", path("out.prt")}).status, 2);
    EXPECT_FALSE(fs::exists(path("out.prt")));

    std::ofstream(path("junk.prt")) << "junk";
    for (const char* command : {"dump", "undo", "run"}) {
        std::vector<std::string> args{command, path("junk.prt")};
        if (std::string(command) == "run") args.insert(args.end(), {"--command", PROBE_UNLOAD_NOW});
        Result r = quillon(args);
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_NE(r.err.find("junk.prt' is not a part file"), std::string::npos) << command << ": " << r.err;
    }
    EXPECT_EQ(quillon({"import", "-x"}).status, 2);
    EXPECT_EQ(quillon({"frobnicate"}).status, 2);
}

// A sheet's files are its own, under its own name; a folder that cannot be written stops the work with a message
// and stages nothing.
TEST_F(CliTest, SheetFilesAreEachSheetsOwn) {
    std::vector<cadhost::render::SheetGraphics> sheets(3);
    std::vector<std::string> names;
    cadhost::files::StagedFiles staged;
    int written = 0;
    std::string error;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        sheets[i].name = "E" + std::to_string(i);
        cadhost::render::Polyline line;
        line.points = {{1.0 * i, 2}, {30, 40.5 + i}};
        sheets[i].polylines.push_back(line);
        names.push_back("file_" + std::to_string(i));
        ASSERT_TRUE(
            cadhost::cli::write_sheet_file(sheets[i], names[i], true, true, dir_.string(), staged, written, error))
            << error;
    }
    EXPECT_EQ(written, 6);
    ASSERT_TRUE(staged.commit(error)) << error;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        std::ostringstream svg;
        cadhost::render::write_svg(sheets[i], svg);
        std::ifstream in(path(names[i] + ".svg"));
        std::stringstream found;
        found << in.rdbuf();
        EXPECT_EQ(found.str(), svg.str()) << names[i];
        std::ifstream dxf(path(names[i] + ".dxf"));
        std::stringstream dxf_text;
        dxf_text << dxf.rdbuf();
        EXPECT_NE(dxf_text.str().find("\n" + std::to_string(40.5 + i).substr(0, 4)), std::string::npos) << names[i];
    }

    cadhost::files::StagedFiles nowhere;
    written = 0;
    EXPECT_FALSE(cadhost::cli::write_sheet_file(sheets[0], names[0], true, false, path("missing/folder"), nowhere,
                                                written, error));
    EXPECT_NE(error.find("missing/folder/file_"), std::string::npos) << error;
    EXPECT_EQ(written, 0);
    EXPECT_EQ(nowhere.size(), 0u);
}

}  // namespace
