// The directions mould end to end through the command line: one electrode on each side of the core, every sheet's
// position and ordinate dimensions checked against the generator's numbers.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/session/session.h"
#include "dimensions/dimension_check.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

int quillon(std::vector<std::string> args, std::string& err) {
    std::ostringstream out, error;
    auto& session = cadhost::Session::instance();
    session.ui().set_terminal(nullptr);
    session.ui().clear();
    const int status = cadhost::cli::dispatch(args, out, error);
    err = error.str() + out.str();
    return status;
}

class DirectionsRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quillon_directions_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ::unsetenv("QUILLON_CONF");
        const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        part_ = (dir_ / "directions.prt").string();
        std::string err;
        ASSERT_EQ(quillon({"import", examples + "directions_mould.step", "--attrs",
                           examples + "directions_mould.attrs.json", "-o", part_},
                          err),
                  0)
            << err;
        expected_ = json::parse(std::ifstream(examples + "directions_mould.expected.json"));
    }
    void TearDown() override { fs::remove_all(dir_); }

    json run_and_report(std::vector<std::string> values) {
        std::vector<std::string> args{"run",   part_,     "--command", COMMAND_LIBRARY,
                                      "--set", "INT_1=1", "--set",     "INT_2=6"};
        for (const auto& v : values) args.insert(args.end(), {"--set", v});
        std::string err;
        EXPECT_EQ(quillon(args, err), 0) << err;
        EXPECT_EQ(cadhost::Session::instance().ui().messages(), std::vector<std::string>{"完成!"});
        const fs::path out = dir_ / "export";
        fs::remove_all(out);
        EXPECT_EQ(quillon({"export", part_, "-o", out.string(), "--json"}, err), 0) << err;
        return json::parse(std::ifstream(out / "directions.json"))["sheets"];
    }

    fs::path dir_;
    std::string part_;
    json expected_;
};

TEST_F(DirectionsRunTest, EverySideMeasuresItsEdmPointAndTheCoresExtremes) {
    const json sheets = run_and_report({});
    const json& electrodes = expected_["electrodes"];
    ASSERT_EQ(sheets.size(), electrodes.size());
    std::vector<int> directions;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        directions.push_back(electrodes[i]["direction"]);
        EXPECT_EQ(sheets[i]["name"], electrodes[i]["name"]);
        const auto seen =
            dimensions_test::check_sheet_dimensions(sheets[i], electrodes[i], expected_["core"]["box"], true);
        // Each margin shows its origin and at least one extreme edge; the top view has two margins.
        EXPECT_GE(seen.ordinates_top, 4) << sheets[i]["name"];
        EXPECT_GE(seen.ordinates_front, 2) << sheets[i]["name"];
    }
    EXPECT_EQ(directions, std::vector<int>({1, -1, 2, -2, 3, -3}));
}

// The text of the note nearest a view's box whose first line starts with one of the side names.
std::string label_of(const json& sheet, const json& view) {
    const auto& b = view["sheet_box"];
    std::string best;
    double nearest = 1e9;
    for (const auto& a : sheet["annotations"]) {
        if (a["kind"] != "note" || a["text"].empty()) continue;
        const std::string text = a["text"][0];
        if (text.find(" 视向") == std::string::npos) continue;
        const double x = a["position"][0], y = a["position"][1];
        const double dx = std::max({0.0, b[0].get<double>() - x, x - b[2].get<double>()});
        const double dy = std::max({0.0, b[1].get<double>() - y, y - b[3].get<double>()});
        if (std::hypot(dx, dy) < nearest) nearest = std::hypot(dx, dy), best = text;
    }
    return best;
}

std::string signed_mm(double v) {
    char text[32];
    std::snprintf(text, sizeof text, std::abs(v) < 5e-4 ? "%.3f" : "%+.3f", std::abs(v) < 5e-4 ? 0.0 : v);
    return text;
}

// Each side's sheet says where the EDM point is with its signs, which way and how deep the electrode burns, and which
// side each view shows: the core seen from the side the electrode works on (the drafting table of standard views),
// the electrode from the side its working part faces.
TEST_F(DirectionsRunTest, EverySideSaysItsSignsBurnAndViewSides) {
    const json sheets = run_and_report({});
    const json& electrodes = expected_["electrodes"];
    ASSERT_EQ(sheets.size(), 6u);
    const char* const burns[] = {"-Z", "+Z", "+Y", "-Y", "-X", "+X"};
    const char* const core_sides[] = {"俯视 视向-Z 右+X 上+Y", "仰视 视向+Z 右+X 上-Y", "前视 视向+Y 右+X 上+Z",
                                      "后视 视向-Y 右-X 上+Z", "右视 视向-X 右+Y 上+Z", "左视 视向+X 右-Y 上+Z"};
    const char* const electrode_sides[] = {core_sides[1], core_sides[0], core_sides[3],
                                           core_sides[2], core_sides[5], core_sides[4]};
    const json& core = expected_["core"]["box"];
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const json& sheet = sheets[i];
        const json& e = electrodes[i];
        SCOPED_TRACE(sheet["name"].get<std::string>());
        // Depth: from the core's face on the base's side to the electrode's far end, along the burn.
        const int axis = std::abs(e["direction"].get<int>()) == 1   ? 2
                         : std::abs(e["direction"].get<int>()) == 2 ? 1
                                                                    : 0;
        const bool base_at_max = e["direction"] == 1 || e["direction"] == -2 || e["direction"] == 3;
        const double depth = base_at_max ? core["max"][axis].get<double>() - e["body_box"]["min"][axis].get<double>()
                                         : e["body_box"]["max"][axis].get<double>() - core["min"][axis].get<double>();
        char depth_text[32];
        std::snprintf(depth_text, sizeof depth_text, "%.3f", depth);
        const json& point = e["reference_point"];
        const std::vector<std::string> table{"放电坐标",
                                             "X " + signed_mm(point[0]),
                                             "Y " + signed_mm(point[1]),
                                             "Z " + signed_mm(point[2]),
                                             "转角 0°",
                                             std::string("放电方向 ") + burns[i],
                                             std::string("深度 ") + depth_text,
                                             "定位点 基准点"};
        int tables = 0;
        for (const auto& a : sheet["annotations"])
            if (a["kind"] == "note" && a["text"][0] == "放电坐标") {
                ++tables;
                EXPECT_EQ(a["text"].get<std::vector<std::string>>(), table);
            }
        EXPECT_EQ(tables, 1);
        int labelled = 0;
        for (const auto& view : sheet["views"]) {
            if (view.contains("parent")) continue;
            const std::string label = label_of(sheet, view);
            if (label.rfind("轴测", 0) == 0) continue;
            const bool shows_core =
                std::find(view["layers"].begin(), view["layers"].end(), 240) != view["layers"].end();
            EXPECT_EQ(label, shows_core ? core_sides[i] : electrode_sides[i]);
            ++labelled;
        }
        EXPECT_EQ(labelled, 2) << "the core's and the electrode's top view";
    }
}

}  // namespace
