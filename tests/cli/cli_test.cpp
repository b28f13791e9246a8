// The command line end to end: import the sample, run a command, undo it, and refuse what cannot be read.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/export_command.h"
#include "cadhost/cli/ordered_work.h"
#include "cadhost/cli/sheet_files.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/render/svg_writer.h"
#include "cadhost/session/session.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "support/host_fixture.h"

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

// Items made side by side are taken in order, with never more than the window of them alive; a failure in one stops
// the work and reaches the caller.
TEST(OrderedWork, TakesInOrderWithinTheWindowAndPassesOnAFailure) {
    struct Counted {
        explicit Counted(std::size_t i, std::atomic<int>& live, std::atomic<int>& most) : i(i), live(&live) {
            const int now = ++live;
            for (int m = most; now > m && !most.compare_exchange_weak(m, now);) {
            }
        }
        Counted(Counted&& other) noexcept : i(other.i), live(std::exchange(other.live, nullptr)) {}
        ~Counted() {
            if (live) --*live;
        }
        std::size_t i;
        std::atomic<int>* live;
    };
    std::atomic<int> live{0}, most{0};
    std::vector<std::size_t> taken;
    EXPECT_TRUE(cadhost::cli::run_in_order<Counted>(
        40, 3, 4, [&](std::size_t i) { return Counted(i, live, most); },
        [&](std::size_t i, Counted c) {
            EXPECT_EQ(c.i, i);
            taken.push_back(i);
            return true;
        }));
    EXPECT_EQ(taken.size(), 40u);
    EXPECT_TRUE(std::is_sorted(taken.begin(), taken.end()));
    EXPECT_LE(most, 4);
    EXPECT_EQ(live, 0);

    std::atomic<std::size_t> made{0};
    EXPECT_THROW(cadhost::cli::run_in_order<int>(
                     1000, 2, 3,
                     [&](std::size_t i) {
                         ++made;
                         if (i == 5) throw std::runtime_error("sheet 5");
                         return static_cast<int>(i);
                     },
                     [](std::size_t, int) { return true; }),
                 std::runtime_error);
    EXPECT_LT(made, 12u) << "no item is begun long after the failure";
    EXPECT_FALSE(cadhost::cli::run_in_order<int>(
        10, 2, 3, [](std::size_t i) { return static_cast<int>(i); }, [](std::size_t i, int) { return i < 2; }));
}

// An export of more sheets than its window holds no more than the window at once, and its PDF has the sheets' pages
// in sheet order whatever order they were drawn in; its report says where each sheet, as drawn, moved texts clear.
class ExportWindowTest : public testing_support::HostTest {
  protected:
    static std::string bytes_of(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(ExportWindowTest, SheetsAreReleasedAsTheyAreWrittenAndPagesKeepTheirOrder) {
    const fs::path dir = fs::temp_directory_path() / ("quillon_window_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size[0] = 210.0;
    info.size.custom_size[1] = 297.0;
    info.drawing_scale = 1.0;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    const int sheets = 9;
    for (int i = 0; i < sheets; ++i) {
        tag_t drawing = NULL_TAG;
        ASSERT_EQ(UF_DRAW_create_drawing(("S" + std::to_string(i)).c_str(), &info, &drawing), 0);
        ASSERT_EQ(UF_OBJ_set_layer(add_box(30.0 * i, 0, 0, 10 + i, 10, 10), 1), 0);
        // A label put on a note: the sheet draws it clear, along its leader.
        const double at[3] = {100, 150, 0}, tip[3] = {90, 140, 0};
        tag_t note = NULL_TAG, label = NULL_TAG;
        ASSERT_EQ(UF_DRF_create_note(1, "NOTE", at, 0, &note), 0);
        ASSERT_EQ(UF_DRF_create_label(1, "LABEL", at, UF_DRF_leader_attach_screen, nullptr, tip, &label), 0);
    }
    const std::string part = (dir / "mould.prt").string();
    std::string error;
    ASSERT_TRUE(cadhost::partfile::save(part, doc(), std::nullopt, error)) << error;
    cadhost::cli::set_sheet_window(2);
    Result narrow = quillon({"export", part, "-o", (dir / "narrow").string(), "--pdf", "--json", "--svg"});
    cadhost::cli::set_sheet_window(0);
    ASSERT_EQ(narrow.status, 0) << narrow.err;
    EXPECT_LE(cadhost::cli::most_sheets_in_flight(), 2u);
    EXPECT_GE(cadhost::cli::most_sheets_in_flight(), 1u);
    const std::string pdf = bytes_of(dir / "narrow/mould.pdf");
    std::size_t at = 0;
    for (int i = 0; i < sheets; ++i) {
        const std::size_t label = pdf.find("/Title (S" + std::to_string(i) + ")");
        EXPECT_TRUE(label != std::string::npos && label > at) << "page " << i;
        at = label;
    }
    const auto report = nlohmann::json::parse(bytes_of(dir / "narrow/mould.json"));
    ASSERT_EQ(report["sheets"].size(), static_cast<std::size_t>(sheets));
    for (const auto& sheet : report["sheets"]) {
        int moved = 0;
        for (const auto& annotation : sheet["annotations"])
            if (annotation.contains("moved_clear")) {
                ++moved;
                EXPECT_NE(annotation["text_position"], annotation["position"]) << sheet["name"];
            }
        EXPECT_EQ(moved, 1) << sheet["name"];
    }
    Result wide = quillon({"export", part, "-o", (dir / "wide").string(), "--pdf", "--json", "--svg"});
    ASSERT_EQ(wide.status, 0) << wide.err;
    for (const char* name : {"mould.pdf", "mould.json", "S4.svg"})
        EXPECT_EQ(bytes_of(dir / "wide" / name), bytes_of(dir / "narrow" / name)) << name;
    fs::remove_all(dir);
}

}  // namespace
