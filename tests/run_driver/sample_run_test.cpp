// The main job end to end through the command line: "quillon demo" on the bundled sample mould, its sheets checked
// against what the sample's generator built and the shipped layout; later runs on the same part and their undo.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/session/session.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Result {
    int status;
    std::string out, err;
    std::vector<std::string> messages;
};

Result quillon(std::vector<std::string> args) {
    std::ostringstream out, err;
    auto& session = cadhost::Session::instance();
    session.ui().set_terminal(nullptr);
    session.ui().clear();
    const int status = cadhost::cli::dispatch(args, out, err);
    return {status, out.str(), err.str(), session.ui().messages()};
}

json read_json(const fs::path& path) {
    std::ifstream in(path);
    return json::parse(in);
}

// A number of the shipped config.def.
double config_value(const std::string& key) {
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::smatch m;
    EXPECT_TRUE(std::regex_search(text, m, std::regex("(^|\\n)" + key + ",([^,]*),EOF"))) << key;
    return std::stod(m[2]);
}

class SampleRunTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("quillon_sample_run_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        ::unsetenv("QUILLON_CONF");
        demo_ = quillon({"demo", "-o", dir_.string(), "--command", COMMAND_LIBRARY});
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    static std::string part() { return (dir_ / "sample_mould.prt").string(); }
    static json sheets() {
        const fs::path out = dir_ / "export";
        fs::remove_all(out);
        Result r = quillon({"export", part(), "-o", out.string(), "--json"});
        EXPECT_EQ(r.status, 0) << r.err;
        return read_json(out / "sample_mould.json")["sheets"];
    }
    static std::vector<std::string> names(const json& sheets) {
        std::vector<std::string> out;
        for (const auto& s : sheets) out.push_back(s["name"]);
        return out;
    }
    static Result run(std::vector<std::string> values) {
        std::vector<std::string> args{"run", part(), "--command", COMMAND_LIBRARY, "--set", "INT_2=7"};
        for (const auto& v : values) {
            args.push_back("--set");
            args.push_back(v);
        }
        return quillon(args);
    }
    static fs::path dir_;
    static Result demo_;
};

fs::path SampleRunTest::dir_;
Result SampleRunTest::demo_;

TEST_F(SampleRunTest, DemoMakesOneSheetPerElectrodeLaidOutByTheShippedFrames) {
    ASSERT_EQ(demo_.status, 0) << demo_.err << demo_.out;
    EXPECT_EQ(demo_.messages, std::vector<std::string>{"完成!"});
    EXPECT_TRUE(fs::exists(dir_ / "sample_mould.pdf"));
    const json expected = read_json(std::string(QUILLON_SOURCE_DIR) + "/examples/sample_mould.expected.json");
    const json report = read_json(dir_ / "sample_mould.json")["sheets"];
    const json& electrodes = expected["electrodes"];
    ASSERT_EQ(report.size(), electrodes.size());

    const double bound_x = config_value("mr_top_and_front_view_bound_x:");
    const double bound_y = config_value("mr_top_and_front_view_bound_y:");
    const double point_x = config_value("mr_top_and_front_view_point_x:");
    const double point_y = config_value("mr_top_and_front_view_point_y:");
    const double space = config_value("mr_top_and_front_view_space:");
    const double iso_bound = std::min(config_value("mr_iso_view_bound_x:"), config_value("mr_iso_view_bound_y:"));
    const double title_top = config_value("mold_no_note_point_y:") + 4.5;  // the upper row of the title block
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < electrodes.size(); ++i) {
        const json& e = electrodes[i];
        const json& sheet = report[i];
        const std::string name = e["name"];
        const int earlier = seen[name]++;
        EXPECT_EQ(sheet["name"], earlier ? name + "_" + std::to_string(earlier) : name);
        EXPECT_EQ(sheet["size"], json::array({297.0, 210.0}));

        // The view box: the core widened by the electrode, its extents taken as the direction says.
        double box[3];
        for (int k = 0; k < 3; ++k)
            box[k] = std::max(expected["core"]["box"]["max"][k].get<double>(), e["body_box"]["max"][k].get<double>()) -
                     std::min(expected["core"]["box"]["min"][k].get<double>(), e["body_box"]["min"][k].get<double>());
        const int direction = e["direction"];
        const int axis = std::abs(direction);
        const double w = axis == 3 ? box[1] : box[0];
        const double h = axis == 1 ? box[1] : box[2];
        const double d = axis == 1 ? box[2] : axis == 2 ? box[1] : box[0];
        const double s = std::min(bound_x / w, bound_y / (h + d));
        const double iso = d > w && d > h ? std::hypot(w, d) : std::hypot(w, h);
        const json& views = sheet["views"];
        ASSERT_EQ(views.size(), 3u) << name;
        EXPECT_NEAR(views[0]["scale"].get<double>(), s, 1e-4) << name;
        EXPECT_NEAR(views[0]["reference_point"][0].get<double>(), point_x, 1e-4) << name;
        EXPECT_NEAR(views[0]["reference_point"][1].get<double>(), point_y - h * s / 2, 1e-3) << name;
        EXPECT_NEAR(views[1]["scale"].get<double>(), s, 1e-4) << name;
        EXPECT_NEAR(views[1]["reference_point"][1].get<double>(), point_y - h * s - space - d * s / 2, 1e-3) << name;
        EXPECT_NEAR(views[2]["scale"].get<double>(), iso_bound / iso, 1e-4) << name;
        for (const auto& view : views) {
            const json& b = view["sheet_box"];
            EXPECT_GT(b[1].get<double>(), title_top) << name << " " << view["name"] << " reaches the title block";
            EXPECT_GT(b[0].get<double>(), 10.0) << name;
            EXPECT_LT(b[2].get<double>(), 287.0) << name;
            EXPECT_LT(b[3].get<double>(), 200.0) << name;
        }
        bool page = false;
        const std::string page_text = "第 " + std::to_string(i + 1) + "/" + std::to_string(electrodes.size()) + " 页";
        for (const auto& a : sheet["annotations"]) page = page || (a["kind"] == "note" && a["text"][0] == page_text);
        EXPECT_TRUE(page) << name << " " << page_text;
    }
}

TEST_F(SampleRunTest, LaterRunsAddGroupsAndUndoTakesTheLastOneBack) {
    ASSERT_EQ(demo_.status, 0);
    const std::vector<std::string> first = names(sheets());
    Result a = run({"RADIO_9=1"});
    ASSERT_EQ(a.status, 0) << a.err;
    Result b = run({"RADIO_9=1"});
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(b.messages, std::vector<std::string>{"完成!"});
    const std::vector<std::string> all = names(sheets());
    ASSERT_EQ(all.size(), first.size() * 3);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin())) << "the demo's sheets stay";
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(all[first.size() + i], "MY_ELEC_SHEETA" + std::to_string(i + 1));
        EXPECT_EQ(all[2 * first.size() + i], "MY_ELEC_SHEETB" + std::to_string(i + 1));
    }
    ASSERT_EQ(quillon({"undo", part()}).status, 0);
    EXPECT_EQ(names(sheets()).size(), first.size() * 2) << "only the last run's sheets are gone";
}

}  // namespace
