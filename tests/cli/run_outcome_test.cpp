// What a script sees of "quillon run" and "quillon export", through the real program: the exit status, the closing
// line, and the part file's bytes when the run did nothing; the files an export leaves in its folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "cadhost/partfile/part_file.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_obj.h"
#include "render/tool_run.h"
#include "support/host_fixture.h"

namespace {

namespace fs = std::filesystem;
using quillon_test::read_file;

struct Outcome {
    int status = -1;
    std::string out, err;
    // The last line the run wrote, on standard error when it failed and on standard output otherwise.
    std::string last_line() const {
        std::string text = status == 0 ? out : err;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        const std::size_t start = text.rfind('\n');
        return start == std::string::npos ? text : text.substr(start + 1);
    }
};

class RunOutcomeTest : public testing_support::HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        dir_ = quillon_test::scratch_dir(std::string("run_outcome/") +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "conf");
        for (const char* name : {"config.def", "my_edm_A4_a.prt"})
            fs::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/" + name, dir_ / "conf" / name);
    }

    // An electrode body, a plain pin held by its top with the diagonal line across that side that marks its reference
    // point, on its layer; named unless the name is empty.
    void add_electrode(double x, int layer, const char* name, bool with_diagonal = true) {
        tag_t body = add_box(x, 0, 0, 10, 10, 20);
        ASSERT_EQ(UF_OBJ_set_layer(body, layer), 0);
        if (name[0]) {
            ASSERT_EQ(UF_OBJ_set_name(body, name), 0);
        }
        if (!with_diagonal) return;
        UF_CURVE_line_t diagonal{{x, 0, 20}, {x + 10, 10, 20}};
        tag_t line = NULL_TAG;
        ASSERT_EQ(UF_CURVE_create_line(&diagonal, &line), 0);
        ASSERT_EQ(UF_OBJ_set_layer(line, layer), 0);
    }
    // The mould of these tests: a core on layer 240 and electrodes on layers 1 and 2, the second one named or not.
    void save_mould(const char* second_name = "E02") {
        ASSERT_EQ(UF_OBJ_set_layer(add_box(-50, -50, -30, 100, 100, 30), 240), 0);
        add_electrode(0, 1, "E01");
        add_electrode(20, 2, second_name);
        save_part();
    }
    void save_part() {
        std::string error;
        ASSERT_TRUE(cadhost::partfile::save(part(), doc(), std::nullopt, error)) << error;
    }

    std::string command(const std::vector<std::string>& args) const {
        std::string text = quillon_test::quoted(fs::path(QUILLON_BINARY_DIR) / "quillon");
        for (const auto& arg : args) text += " " + quillon_test::quoted(arg);
        return text;
    }
    Outcome quillon(const std::vector<std::string>& args) const {
        const fs::path err = dir_ / "stderr.txt";
        auto result = quillon_test::run_tool(command(args) + " 2>" + quillon_test::quoted(err) + " </dev/null");
        return {result.status, result.output, read_file(err)};
    }
    // A batch run on the mould with the shipped configuration, electrodes on layers 1 and 2.
    Outcome run(std::vector<std::string> extra = {}) const {
        std::vector<std::string> args{"run",   part(),    "--conf", (dir_ / "conf").string(),
                                      "--set", "INT_1=1", "--set",  "INT_2=2"};
        args.insert(args.end(), extra.begin(), extra.end());
        return quillon(args);
    }
    // The same run with the form on a terminal, typing the input; standard output and error come together.
    Outcome run_on_terminal(const std::string& input) const {
        const fs::path typed = dir_ / "typed.txt";
        quillon_test::write_file(typed, input);
        auto result = quillon_test::run_tool(
            "script -qec " + quillon_test::quoted(command({"run", part(), "--conf", (dir_ / "conf").string()})) +
            " /dev/null <" + quillon_test::quoted(typed));
        // The terminal ends its lines with a carriage return as well.
        std::string text = result.output;
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return {result.status, text, text};
    }
    std::set<std::string> files_in(const fs::path& dir) const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
        return names;
    }
    std::string part() const { return (dir_ / "mould.prt").string(); }
    fs::path dir_;
};

TEST_F(RunOutcomeTest, CompletedRunSavesAndSaysWhatItMade) {
    save_mould();
    const std::string before = read_file(part());
    Outcome done = run();
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.last_line(), "made 2 sheets");
    EXPECT_NE(done.out.find("status: E01 (1/2)"), std::string::npos) << "progress on the terminal: " << done.out;
    EXPECT_NE(done.out.find("status: E02 (2/2)"), std::string::npos) << done.out;
    EXPECT_NE(read_file(part()), before);

    // A note position missing from config.def: every sheet says so, the run completes and its last line counts the
    // messages, which the log beside the part keeps.
    const std::string config = read_file(dir_ / "conf" / "config.def");
    const std::string key = "elec_f_space_note_point_y:,102,EOF";
    ASSERT_NE(config.find(key), std::string::npos);
    quillon_test::write_file(dir_ / "conf" / "config.def",
                             config.substr(0, config.find(key)) + config.substr(config.find(key) + key.size()));
    done = run();
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.last_line(), "made 2 sheets; 2 messages, see " + (dir_ / "mould.log").string());
    const std::string log = read_file(dir_ / "mould.log");
    std::size_t said = 0;
    const std::string message = "找不到elec_f_space_note_point_y:";
    for (std::size_t at = log.find(message); at != std::string::npos; at = log.find(message, at + 1)) ++said;
    EXPECT_EQ(said, 2u) << log;
}

TEST_F(RunOutcomeTest, RunsThatDidNothingLeaveThePartByteForByteWithTheUndoMarkOfTheRunBefore) {
    save_mould();
    ASSERT_EQ(run().status, 0);
    const std::string after_good_run = read_file(part());

    struct Case {
        const char* what;
        Outcome outcome;
        const char* says;
    };
    fs::create_directories(dir_ / "empty_conf");
    const Case cases[] = {
        {"Cancel", run_on_terminal("c\n"), "nothing was run: dialog quillon_dlg.dlg closed with Cancel"},
        {"Back", run_on_terminal("b\n"), "nothing was run: dialog quillon_dlg.dlg closed with Back"},
        {"end of input", run_on_terminal(""), "nothing was run: dialog quillon_dlg.dlg closed with Cancel"},
        {"refused OK", run({"--set", "INT_2=300"}),
         "nothing was run: OK of dialog quillon_dlg.dlg was refused: '铜公层--到' 的范围只能为 1 到 256, 输入错误!"},
        {"drawing layer on the core layer", run({"--set", "INT_4=240"}),
         "'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!"},
        {"drawing layer among the electrode layers", run({"--set", "INT_4=2"}),
         "'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!"},
        {"missing config.def", quillon({"run", part(), "--conf", (dir_ / "empty_conf").string()}),
         "nothing was run: the command stopped: 找不到 D:\\tarn_conf\\config.def 文件,请重新安装!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.outcome.status, 1) << c.what << ": " << c.outcome.out << c.outcome.err;
        EXPECT_NE(c.outcome.err.find(c.says), std::string::npos) << c.what << ": " << c.outcome.err;
        EXPECT_EQ(c.outcome.last_line(), "the part was left as it was") << c.what;
        EXPECT_EQ(read_file(part()), after_good_run) << c.what;
    }
    // The good run can still be taken back.
    ASSERT_EQ(quillon({"undo", part()}).status, 0);
    cadhost::partfile::LoadedPart loaded;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(part(), loaded, error)) << error;
    EXPECT_EQ(loaded.document.find_drawing("E01"), NULL_TAG) << "back to before the good run";
}

TEST_F(RunOutcomeTest, StoppedRunKeepsItsSheetsAndSaysWhereItStopped) {
    // The second electrode has no name: with the name check off the run gets to it and cannot name its sheet.
    save_mould("");
    Outcome stopped = run({"--set", "TOGGLE_10=0"});
    EXPECT_EQ(stopped.status, 1) << stopped.out;
    EXPECT_EQ(stopped.last_line(),
              "quillon run: made 1 sheet; stopped at layer 2, unnamed body (第 2 层 (2/2)): 有铜公未命名,请检查未命名的"
              "铜公! (layer 2: a body without a name gets no sheet when sheets are named after their electrodes (field "
              "RADIO_9 0): name the body, or name the sheets by group); 'quillon check " +
                  part() + " --set INT_1=1 --set INT_2=2 --set TOGGLE_10=0' lists every problem");
    EXPECT_NE(stopped.out.find("完成!"), std::string::npos) << "the command's own closing message stays";
    cadhost::partfile::LoadedPart loaded;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(part(), loaded, error)) << error;
    EXPECT_NE(loaded.document.find_drawing("E01"), NULL_TAG) << "what the run made is kept";
    EXPECT_TRUE(loaded.undo_mark.has_value());

    // A run stopped by a missing key of a sheet's layout, after its first sheet was begun.
    session().display_part()->document = cadhost::Document();
    save_mould();
    std::string config = read_file(dir_ / "conf/config.def");
    const std::string key = "mr_top_and_front_view_bound_x:";
    for (std::size_t at = config.find(key); at != std::string::npos; at = config.find(key, at))
        config.replace(at, 3, "xx_");
    quillon_test::write_file(dir_ / "conf/config.def", config);
    Outcome no_key = run();
    EXPECT_EQ(no_key.status, 1);
    // A step the check does not take: the place is the body whose sheet was begun.
    EXPECT_EQ(
        no_key.last_line().rfind(
            "quillon run: made 1 sheet; stopped at layer 1, body 'E01' (E01 (1/2)): 在config.def 文件中找不到", 0),
        0u)
        << no_key.last_line();
}

TEST_F(RunOutcomeTest, RunStoppedBeforeItsFirstSheetSaysWhyInTheCheckWordsAndSavesNothing) {
    ASSERT_EQ(UF_OBJ_set_layer(add_box(-50, -50, -30, 100, 100, 30), 240), 0);
    add_electrode(0, 1, "E01");
    add_electrode(20, 2, "E02", false);
    save_part();
    const std::string before = read_file(part());
    Outcome stopped = run();
    EXPECT_EQ(stopped.status, 1) << stopped.out;
    EXPECT_EQ(stopped.out.find("saved "), std::string::npos) << stopped.out;
    EXPECT_EQ(read_file(part()), before);
    const std::string line = stopped.last_line();
    EXPECT_EQ(line.rfind("quillon run: made 0 sheets; stopped at layer 2, body 'E02': ", 0), 0u) << line;
    // The command's message, then the English explanation the check gives of it.
    const std::size_t explained = line.find(" (layer 2: ");
    EXPECT_NE(explained, std::string::npos) << line;
    EXPECT_NE(stopped.out.find(line.substr(60, explained - 60)), std::string::npos) << stopped.out;
    EXPECT_NE(line.find("); nothing was saved; 'quillon check " + part() +
                        " --set INT_1=1 --set INT_2=2' lists every problem"),
              std::string::npos)
        << line;
}

TEST_F(RunOutcomeTest, RunWhoseRangeLeavesElectrodesOutSaysWhichSettingTakesThemIn) {
    ASSERT_EQ(UF_OBJ_set_layer(add_box(-50, -50, -30, 100, 100, 30), 240), 0);
    add_electrode(0, 1, "E01");
    add_electrode(20, 2, "E02");
    add_electrode(40, 3, "E03");
    add_electrode(60, 5, "E05");
    tag_t hidden = add_box(80, 0, 0, 10, 10, 20);
    ASSERT_EQ(UF_OBJ_set_layer(hidden, 9), 0);
    ASSERT_EQ(UF_OBJ_set_blank_status(hidden, UF_OBJ_BLANKED), 0);
    save_part();
    struct Case {
        std::vector<std::string> set;
        std::string says;
    };
    const Case cases[] = {
        {{"--set", "INT_1=2", "--set", "INT_2=3"},
         "made 2 sheets; layers 1, 5 hold visible solid bodies outside the electrode range 2–3, which got no sheet: "
         "set "
         "the first electrode layer to 1 and the last to 5 (--set INT_1=1 --set INT_2=5) to include them"},
        {{"--set", "INT_1=1", "--set", "INT_2=3", "--set", "INT_4=4"},
         "made 3 sheets; layer 5 holds visible solid bodies outside the electrode range 1–3, which got no sheet: the "
         "core "
         "or drawing layer lies between them and the range, so they need a run with a range of their own (--set "
         "INT_1=FIRST --set INT_2=LAST)"},
        {{"--set", "INT_1=1", "--set", "INT_2=5"}, "made 4 sheets"},
    };
    for (const Case& c : cases) {
        Outcome done = run(c.set);
        EXPECT_EQ(done.status, 0) << done.err;
        EXPECT_EQ(done.last_line(), c.says);
    }
}

TEST_F(RunOutcomeTest, ExportLeavesExactlyTheCurrentSheetsFilesAndOnlyTouchesItsOwn) {
    save_mould();
    ASSERT_EQ(run().status, 0);
    const fs::path out = dir_ / "sheets";
    ASSERT_EQ(quillon({"export", part(), "-o", out.string(), "--pdf", "--svg", "--dxf", "--json", "--csv"}).status, 0);
    ASSERT_EQ(run().status, 0) << "a second run makes E01_1 and E02_1";
    // Files of others in the folder, one of them named in the manifest by hand, must stay.
    quillon_test::write_file(out / "E01_9.svg", "mine");
    quillon_test::write_file(dir_ / "outside.svg", "mine");
    ASSERT_EQ(quillon({"export", part(), "-o", out.string(), "--pdf", "--svg", "--dxf", "--json"}).status, 0);
    const std::set<std::string> sheet_files{"E01.svg", "E01.dxf", "E02.svg", "E02.dxf"};
    const std::set<std::string> second_files{"E01_1.svg", "E01_1.dxf", "E02_1.svg", "E02_1.dxf"};
    // The lists belong to the whole part: exports of other formats keep them.
    std::set<std::string> expected{
        "mould.pdf", "mould.json", "mould.manifest", "mould.electrodes.csv", "mould.bom.csv", "mould.electrodes.xlsx",
        "E01_9.svg"};
    expected.insert(sheet_files.begin(), sheet_files.end());
    expected.insert(second_files.begin(), second_files.end());
    EXPECT_EQ(files_in(out), expected);
    quillon_test::write_file(out / "mould.manifest", read_file(out / "mould.manifest") + "E01_9.svg\n../outside.svg\n");

    ASSERT_EQ(quillon({"undo", part()}).status, 0);
    Outcome again = quillon({"export", part(), "-o", out.string(), "--pdf", "--svg", "--dxf", "--json"});
    ASSERT_EQ(again.status, 0) << again.err;
    for (const auto& name : second_files) {
        expected.erase(name);
        EXPECT_NE(again.out.find("removed " + name), std::string::npos) << again.out;
    }
    expected.erase("E01_9.svg");  // listed in the manifest as the export's own, and no sheet has it now
    EXPECT_EQ(files_in(out), expected);
    EXPECT_TRUE(fs::exists(dir_ / "outside.svg")) << "a name outside the folder is never removed";
    EXPECT_EQ(read_file(out / "mould.manifest"),
              "quillon export manifest 1\nE01.dxf\nE01.svg\nE02.dxf\nE02.svg\nmould.bom.csv\nmould.electrodes.csv\n"
              "mould.electrodes.xlsx\nmould.json\nmould.pdf\n");

    // Exporting one format keeps the other formats' files of sheets that are still there.
    ASSERT_EQ(quillon({"export", part(), "-o", out.string(), "--svg"}).status, 0);
    EXPECT_EQ(files_in(out), expected);
}

TEST_F(RunOutcomeTest, SheetNamesThatMakeOneFileNameGetDistinctFiles) {
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_CUSTOM_SIZE;
    info.size.custom_size[0] = 210.0;
    info.size.custom_size[1] = 297.0;
    info.drawing_scale = 1.0;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    for (const char* name : {"A/B", "A_B", "A:B", "A_B~2"}) {
        tag_t drawing = NULL_TAG;
        ASSERT_EQ(UF_DRAW_create_drawing(name, &info, &drawing), 0) << name;
    }
    save_part();
    const fs::path out = dir_ / "sheets";
    Outcome exported = quillon({"export", part(), "-o", out.string(), "--svg"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(files_in(out),
              (std::set<std::string>{"A_B.svg", "A_B~2.svg", "A_B~3.svg", "A_B~4.svg", "mould.manifest"}));
    EXPECT_NE(exported.out.find("sheet 'A/B' would be written as 'A_B', which another sheet has: it is written as "
                                "'A_B~3'"),
              std::string::npos)
        << exported.out;
    EXPECT_NE(exported.out.find("sheet 'A:B' would be written as 'A_B', which another sheet has: it is written as "
                                "'A_B~4'"),
              std::string::npos)
        << exported.out;
}

TEST_F(RunOutcomeTest, PartWithoutSheetsExportsNothing) {
    save_mould();
    const fs::path out = dir_ / "sheets";
    Outcome empty = quillon({"export", part(), "-o", out.string(), "--pdf", "--svg", "--dxf", "--json"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_EQ(empty.last_line(), "quillon export: part '" + part() + "' has no sheets: nothing was written");
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
