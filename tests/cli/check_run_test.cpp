// "quillon check" through the real program on a mould with one problem on each of six layers: every problem is
// reported at once with the command's message and what was measured, the part is left byte for byte, and the same
// mould mended checks clean and runs through. With the same dialog values, check and run say the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/partfile/part_file.h"
#include "electrodes/electrode_fixture.h"
#include "render/tool_run.h"

namespace {

namespace fs = std::filesystem;
using electrodes_test::based;
using electrodes_test::Corners;
using electrodes_test::layer_message;
using electrodes_test::placed;
using quillon_test::read_file;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class CheckRunTest : public electrodes_test::ElectrodeTest {
  protected:
    void SetUp() override {
        ElectrodeTest::SetUp();
        dir_ = quillon_test::scratch_dir(std::string("check_run/") +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "conf");
        for (const char* name : {"config.def", "my_edm_A4_a.prt"})
            fs::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/" + name, dir_ / "conf" / name);
    }

    static double centre_x(int layer) { return -135.0 + 45.0 * (layer - 1); }

    // The standard electrode (base 40 x 30, working part below it) with its depth face at z = 20, and the diagonal line
    // across that face; off_by moves the line's end, tilt turns the body about the x axis.
    static tag_t electrode(int layer, double cy, const char* name, double off_by = 0, double tilt = 0) {
        const double cx = centre_x(layer);
        gp_Trsf turn, move;
        turn.SetRotation(gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(1, 0, 0)), tilt * M_PI / 180);
        move.SetTranslation(gp_Vec(cx, cy, 20));
        const tag_t body = body_on(placed(based(base_corners(), tip_corners()), move * turn), layer, name);
        line_on(gp_Pnt(cx - 20, cy - 15, 20), gp_Pnt(cx + 20 + off_by, cy + 15, 20), layer);
        return body;
    }

    // The core on layer 240, and on layers 1 to 7 the electrodes; broken, layers 2 to 7 carry one problem each and
    // the objects carry attributes the command would pass over. second_name names the electrode of layer 2.
    void save_mould(bool broken, const char* second_name = "E02") {
        ASSERT_EQ(UF_OBJ_set_layer(add_box(-160, -60, -40, 320, 120, 40), 240), 0);
        const tag_t first = electrode(1, 0, "E01");
        UF_ATTR_value_t gap{UF_ATTR_real, {}};
        gap.value.real = 0.2;
        ASSERT_EQ(UF_ATTR_assign(first, "ELEC_ROUGH_SPACE", gap), 0);
        electrode(2, 0, second_name, broken ? 0.1 : 0);  // the diagonal misses the depth face's corner
        electrode(3, 0, "E03", 0, broken ? 10 : 0);      // the base is not square to the axes
        electrode(4, -20, "E04");
        electrode(4, 22, broken ? "E04B" : "E04");  // copies under two names
        const tag_t touched = electrode(5, 0, "E05");
        touch_point(touched, gp_Pnt(centre_x(5) + 20, 0, 25));
        if (!broken) circle_on(gp_Pnt(centre_x(5) + 20, 0, 25), 3, 5);  // the touch circle
        body_on(electrodes_test::block({gp_Pnt(centre_x(6) - 10, -10, 5), gp_Pnt(centre_x(6) + 10, 10, 30)}), 6, "E06");
        if (!broken) line_on(gp_Pnt(centre_x(6) - 10, -10, 30), gp_Pnt(centre_x(6) + 10, 10, 30), 6);
        // Copies whose first cannot be analysed: its outline is not known, so the second's is not compared with it.
        electrode(7, -20, "E07", broken ? 0.1 : 0);
        electrode(7, 22, "E07");
        if (broken) {
            UF_ATTR_value_t count{UF_ATTR_integer, {}};
            count.value.integer = 2;
            ASSERT_EQ(UF_ATTR_assign(first, "elec_rough_numbr", count), 0);
            count.value.integer = 0;
            ASSERT_EQ(UF_ATTR_assign(first, "ELEC_FINISH_SPACE", count), 0);
            UF_ATTR_value_t note{UF_ATTR_string, {}};
            note.value.string = const_cast<char*>("burn slowly");
            ASSERT_EQ(UF_ATTR_assign(line_on(gp_Pnt(0, 80, 0), gp_Pnt(10, 80, 0), 1), "ELEC_NOTE", note), 0);
        }
        std::string error;
        ASSERT_TRUE(cadhost::partfile::save(part(), doc(), std::nullopt, error)) << error;
    }

    Outcome quillon(std::vector<std::string> args) const {
        std::string text = quillon_test::quoted(fs::path(QUILLON_BINARY_DIR) / "quillon");
        args.insert(args.begin() + 2, {"--conf", (dir_ / "conf").string()});
        for (const auto& arg : args) text += " " + quillon_test::quoted(arg);
        const fs::path err = dir_ / "stderr.txt";
        auto result = quillon_test::run_tool(text + " 2>" + quillon_test::quoted(err) + " </dev/null");
        return {result.status, result.output, read_file(err)};
    }
    std::string part() const { return (dir_ / "mould.prt").string(); }
    fs::path dir_;
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(CheckRunTest, ReportsEveryProblemAtOnceAndLeavesThePartAsItWas) {
    save_mould(true);
    const std::string before = read_file(part());
    const Outcome check = quillon({"check", part(), "--layers", "1-7"});
    EXPECT_EQ(check.status, 1) << check.out << check.err;
    const std::string messages[6] = {
        layer_message("第 %d 层中的铜公没有对角线,或者对角线数据不对!请返回检查!", 2),
        layer_message("第 %d 层中的铜公的基准台与坐标系不垂直,或者铜公体超出了基准台外形! 或者未合并! 请返回检查!", 3),
        layer_message("第 %d 层中有多个铜公, 但铜公的名称却不相同(或有一个未命名)!请返回检查!", 4),
        layer_message("第 %d 层中的铜公单边碰数错误(或没有圆对应)!", 5),
        layer_message("第 %d 层中的铜公没有对角线,或者对角线数据不对! 或者未合并! 请返回检查!", 6),
        layer_message("第 %d 层中的铜公没有对角线,或者对角线数据不对!请返回检查!", 7)};
    for (const auto& message : messages) EXPECT_TRUE(has(check.out, message)) << message << "\n" << check.out;
    EXPECT_TRUE(has(check.out, "layer 2: diagonal end 0.1 mm from the depth face's corner; allowed 0.003 mm"))
        << check.out;
    EXPECT_TRUE(has(check.out, "6 problems on 6 bodies of 9")) << check.out;
    EXPECT_TRUE(has(check.out, "a run stops with: " + messages[0] + "\n")) << check.out;
    EXPECT_FALSE(has(check.out, layer_message("第 %d 层中有多个铜公, 但铜公外形数却不相同!请返回检查!", 7)))
        << "an outline compared with a copy that was not analysed\n"
        << check.out;
    // The attributes the command would pass over, one warning each.
    EXPECT_TRUE(has(check.out, "'elec_rough_numbr' is not one the command reads; did you mean 'elec_rough_number'?"));
    EXPECT_TRUE(has(check.out, "'ELEC_FINISH_SPACE' is an integer, but the command reads it only as a real number"));
    EXPECT_TRUE(has(check.out, "unnamed line on layer 1: attribute 'ELEC_NOTE' is read only from electrode bodies"));
    EXPECT_EQ(read_file(part()), before) << "the check wrote the part";
    EXPECT_FALSE(fs::exists(dir_ / "mould.log"));

    const Outcome json = quillon({"check", part(), "--json", "--set", "last_layer=7", "--progress"});
    EXPECT_EQ(json.status, 1);
    EXPECT_TRUE(has(json.err, "checked 1 of 9 bodies\n") && has(json.err, "checked 9 of 9 bodies\n")) << json.err;
    const auto report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["problems"], 6);
    ASSERT_EQ(report["bodies"].size(), 9u);
    std::vector<int> failing;
    for (const auto& body : report["bodies"])
        if (!body["problems"].empty()) failing.push_back(body["layer"]);
    EXPECT_EQ(failing, (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(report["bodies"][0]["attributes"]["ELEC_ROUGH_SPACE"], "0.20");
    EXPECT_EQ(report["bodies"][0]["diagonal_found"], true);
    EXPECT_EQ(report["bodies"][1]["diagonal_found"], false);
    EXPECT_EQ(report["bodies"][2]["defaults_stand_in"], true);
    EXPECT_EQ(read_file(part()), before);

    // A run meets the first of them, in the same words with the check's explanation, and warns about the same
    // attributes; having made no sheet, it leaves the part as it was.
    const Outcome run = quillon({"run", part(), "--set", "INT_1=1", "--set", "INT_2=7"});
    EXPECT_EQ(run.status, 1);
    const std::string explanation = report["bodies"][1]["problems"][0]["explanation"];
    EXPECT_TRUE(has(run.err, "quillon run: made 0 sheets; stopped at layer 2, body 'E02': " + messages[0] + " (" +
                                 explanation + "); nothing was saved; 'quillon check " + part() +
                                 " --set INT_1=1 --set INT_2=7' lists every problem\n"))
        << run.err;
    EXPECT_EQ(read_file(part()), before);
    EXPECT_TRUE(has(run.err, "quillon run: warning: solid body 'E01' on layer 1: attribute 'elec_rough_numbr'"))
        << run.err;
}

TEST_F(CheckRunTest, MendedMouldChecksCleanAndRunsThrough) {
    save_mould(false);
    const Outcome check = quillon({"check", part(), "--layers", "1-7"});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_TRUE(has(check.out, "9 electrode bodies, no problem: a run makes every sheet")) << check.out;
    EXPECT_FALSE(has(check.out, "warning")) << check.out;
    EXPECT_FALSE(has(check.out, "stops:")) << check.out;
    // The English field names stand for the ids.
    const Outcome all = quillon({"run", part(), "--set", "first_layer=1", "--set", "last_layer=7"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_TRUE(has(all.out, "made 9 sheets")) << all.out;
    EXPECT_FALSE(has(all.out, "outside the electrode range")) << all.out;
}

// The run's own last word on what stopped it: after "refused: ", "stopped: " or "stopped at PLACE: ".
std::string run_stop(const Outcome& run) {
    std::istringstream lines(run.err);
    std::string line, reason;
    while (std::getline(lines, line))
        if (line.rfind("quillon run: ", 0) == 0 && line.find("warning") == std::string::npos) reason = line;
    return reason;
}

// With the same dialog values, from --set, --answers, --core-layer and --layers or the dialog's own defaults, the check
// tells the message a run stops with (or none when it makes every sheet), the messages it shows on the way, and ends
// as the run does; a refused OK is its one problem.
TEST_F(CheckRunTest, CheckAndRunSayTheSameWithTheSameDialogValues) {
    struct Case {
        const char* what;
        int mould;  // 0 mended, 1 broken, 2 mended with layer 2's electrode unnamed
        std::vector<std::string> options;
    };
    fs::create_directories(dir_ / "empty_conf");
    quillon_test::write_file(dir_ / "answers.txt", "# layers\nfirst_layer=1\nINT_2 = 7\n");
    const Case cases[] = {
        {"the dialog as it opens: layer 1 only", 0, {}},
        {"every electrode", 0, {"--layers", "1-7"}},
        {"core layer inside the range", 0, {"--core-layer", "3", "--layers", "1-7"}},
        {"range upside down", 0, {"--set", "INT_1=5", "--set", "INT_2=3"}},
        {"layer out of range", 0, {"--set", "INT_0=0"}},
        {"drawing layer on the core's", 0, {"--layers", "1-7", "--set", "INT_4=240"}},
        {"drawing layer among the electrodes' from the answers",
         0,
         {"--answers", (dir_ / "answers.txt").string(), "--set", "drawing_layer=3"}},
        {"a range without bodies", 0, {"--layers", "9-12"}},
        {"a core layer without bodies", 0, {"--core-layer", "200", "--layers", "1-7"}},
        {"problems on the bodies", 1, {"--answers", (dir_ / "answers.txt").string()}},
        {"no config.def", 1, {"--layers", "1-7", "--conf", (dir_ / "empty_conf").string()}},
        {"an unnamed body refused", 2, {"--layers", "1-7"}},
        {"an unnamed body let through", 2, {"--layers", "1-7", "--set", "TOGGLE_10=0"}},
        {"an unnamed body under group names", 2, {"--layers", "1-7", "--set", "TOGGLE_10=0", "--set", "RADIO_9=1"}},
    };
    std::string moulds[3];
    for (int m = 0; m < 3; ++m) {
        session().display_part()->document = cadhost::Document();
        save_mould(m == 1, m == 2 ? "" : "E02");
        moulds[m] = read_file(part());
    }
    for (const Case& c : cases) {
        quillon_test::write_file(part(), moulds[c.mould]);
        std::vector<std::string> args{"check", part(), "--json"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome check = quillon(args);
        // The run has no shorthands: its fields are set by name.
        std::vector<std::string> run_args{"run", part()};
        for (std::size_t i = 0; i < c.options.size(); i += 2) {
            const std::string &option = c.options[i], &value = c.options[i + 1];
            if (option == "--core-layer") {
                run_args.insert(run_args.end(), {"--set", "core_layer=" + value});
            } else if (option == "--layers") {
                const std::size_t dash = value.find('-');
                run_args.insert(run_args.end(), {"--set", "first_layer=" + value.substr(0, dash), "--set",
                                                 "last_layer=" + value.substr(dash + 1)});
            } else {
                run_args.insert(run_args.end(), {option, value});
            }
        }
        const Outcome run = quillon(run_args);
        const auto report = nlohmann::json::parse(check.out, nullptr, false);
        ASSERT_TRUE(report.is_object()) << c.what << ": " << check.out << check.err;
        EXPECT_EQ(check.status, run.status) << c.what << "\n" << check.out << run.out << run.err;
        if (report["stops_with"].is_string()) {
            const std::string stop = report["stops_with"];
            // The run's line goes on after the message with the check's explanation and the check to run.
            const std::string line = run_stop(run);
            const std::size_t at = line.find(": " + stop);
            const std::size_t after = at == std::string::npos ? 0 : at + 2 + stop.size();
            EXPECT_TRUE(at != std::string::npos &&
                        (after == line.size() || line.compare(after, 2, " (") == 0 || line[after] == ';'))
                << c.what << ": " << stop << "\n"
                << run.err;
        } else {
            EXPECT_EQ(run.status, 0) << c.what << ": " << run.err;
        }
        for (const std::string message : report["messages"])
            EXPECT_TRUE(has(run.out, message)) << c.what << ": " << message << "\n" << run.out;
        if (!report["dialog_problems"].empty()) {
            EXPECT_EQ(report["problems"], 1) << c.what << ": nothing is looked at after a refused OK\n" << check.out;
            EXPECT_TRUE(has(run.err, "nothing was run")) << c.what;
        }
    }
}

}  // namespace
