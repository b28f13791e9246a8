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

#include <sqlite3.h>

#include <TopLoc_Location.hxx>
#include <gp_Trsf.hxx>
#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/session/session.h"
#include "dimensions/dimension_check.h"

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
    // A run with dialog values (FIELD=VALUE) and other options of quillon run with their values ("--answer", "ok").
    static Result run(std::vector<std::string> values) {
        std::vector<std::string> args{"run", part(), "--command", COMMAND_LIBRARY, "--set", "INT_2=7"};
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i].rfind("--", 0) == 0 && i + 1 < values.size()) {
                args.push_back(values[i]);
                args.push_back(values[++i]);
                continue;
            }
            args.push_back("--set");
            args.push_back(values[i]);
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
        ASSERT_EQ(views.size(), e["index"] == 1 ? 6u : 3u) << name << ": the first body of a layer has its own views";
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

// What the machinist reads, worked out from the generator's attributes, names, copies and chamfers and from the
// shipped config.def: every note and label above the title block, apart from the template's own table labels.
TEST_F(SampleRunTest, EachSheetCarriesExactlyTheNotesAndLabelsItsElectrodeImplies) {
    ASSERT_EQ(demo_.status, 0) << demo_.err << demo_.out;
    const json expected = read_json(std::string(QUILLON_SOURCE_DIR) + "/examples/sample_mould.expected.json");
    const json report = read_json(dir_ / "sample_mould.json")["sheets"];
    const json& electrodes = expected["electrodes"];
    ASSERT_EQ(report.size(), electrodes.size());
    const auto at = [](const std::string& key) { return config_value(key + "_x:"); };
    const auto at_y = [](const std::string& key) { return config_value(key + "_y:"); };
    const auto fixed = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", v);
        return std::string(text);
    };
    const auto entry = [](const std::string& kind, const std::string& text, double x, double y, int alignment) {
        std::ostringstream out;
        out << kind << " [" << text << "] at " << std::round(x * 100) / 100 << ", " << std::round(y * 100) / 100
            << " alignment " << alignment;
        return out.str();
    };
    const std::set<std::string> template_labels = {"电极", "粗公", "精公", "火花位", "数量"};
    const double title_top = config_value("mold_no_note_point_y:") + 4.5;

    std::map<int, int> on_layer, seen_on_layer;
    for (const auto& e : electrodes) ++on_layer[e["layer"].get<int>()];
    for (std::size_t i = 0; i < electrodes.size(); ++i) {
        const json& e = electrodes[i];
        const json& attrs = e["attributes"];
        const std::string name = e["name"];
        const int layer = e["layer"];
        const int place = ++seen_on_layer[layer];
        std::vector<std::string> want;
        // The chamfer label comes first on the sheet; its place is checked below.
        if (e["chamfer_corner"].get<int>() != 0) want.push_back("label [c角]");
        want.push_back(entry("note", name, at("elec_no_note_point"), at_y("elec_no_note_point"), 5));
        if (on_layer[layer] > 1)
            want.push_back(entry(
                "note",
                "这个铜公共放电 " + std::to_string(on_layer[layer]) + " 处, 这是第 " + std::to_string(place) + " 处.",
                at("share_elec_note_point"), at_y("share_elec_note_point"), 5));
        struct Slot {
            const char *title, *format, *cell;
        };
        const Slot cells[] = {{"ELEC_ROUGH_SPACE", "%s/s", "elec_r_space_note_point"},
                              {"ELEC_FINISH_SPACE", "%s/s", "elec_f_space_note_point"},
                              {"elec_rough_number", "%s", "elec_r_count_note_point"},
                              {"elec_finish_number", "%s", "elec_f_count_note_point"}};
        const Slot special[] = {{"T_ELEC_ROUGH_SPACE", "特粗公火花位:%s/s", nullptr},
                                {"T_ELEC_FINISH_SPACE", "特精公火花位:%s/s", nullptr},
                                {"t_elec_rough_number", " 特粗公数量:  %s    ", nullptr},
                                {"t_elec_finish_number", " 特精公数量:  %s    ", nullptr}};
        const auto value_text = [&](const char* format, const json& value) {
            const std::string v =
                value.contains("real") ? fixed(value["real"]) : std::to_string(value["integer"].get<int>());
            char text[128];
            std::snprintf(text, sizeof text, format, v.c_str());
            return std::string(text);
        };
        bool any = false;
        for (const Slot& s : cells)
            if (attrs.contains(s.title)) {
                any = true;
                want.push_back(entry("note", value_text(s.format, attrs[s.title]), at(s.cell), at_y(s.cell), 5));
            }
        double block_y = at_y("t_elec_note_point");
        for (const Slot& s : special)
            if (attrs.contains(s.title)) {
                any = true;
                want.push_back(
                    entry("note", value_text(s.format, attrs[s.title]), at("t_elec_note_point"), block_y, 5));
                block_y -= 5;
            }
        if (!any) {
            const std::string defaults[] = {"elec_rough_space", "elec_finish_space", "elec_rough_number",
                                            "elec_finish_number"};
            std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            for (int k = 0; k < 4; ++k) {
                std::smatch m;
                ASSERT_TRUE(std::regex_search(text, m, std::regex("\\n" + defaults[k] + ":,([^,]*),EOF")));
                want.push_back(
                    entry("note", std::string(m[1]) + (k < 2 ? "/s" : ""), at(cells[k].cell), at_y(cells[k].cell), 5));
            }
        }
        if (attrs.contains("ELEC_NOTE"))
            want.push_back(entry("note", attrs["ELEC_NOTE"]["string"], at("note_point"), at_y("note_point"), 4));
        // What joins the sheet when it is drawn, after the run's own annotations: the chamfer marked again in the
        // electrode's own top view (on the first sheet of its layer, which shows that view), the coordinate table,
        // the touch label; and a label for each view, whose texts the directions mould checks side by side.
        if (e["chamfer_corner"].get<int>() != 0 && place == 1) want.push_back("label [c角]");
        want.push_back("note [放电坐标]");
        if (!e["single_side_point"].is_null()) want.push_back("label [单边碰]");

        std::vector<std::string> got;
        const json* label = nullptr;
        std::size_t view_labels = 0;
        for (const auto& a : report[i]["annotations"]) {
            if (a["kind"] == "label") {
                got.push_back("label [" + a["text"][0].get<std::string>() + "]");
                if (!label && a["text"][0] == "c角") label = &a;
            }
            if (a["kind"] != "note" || a["position"][1].get<double>() < title_top) continue;
            if (template_labels.count(a["text"][0].get<std::string>())) continue;
            if (a["text"][0].get<std::string>().find(" 视向") != std::string::npos) {
                ++view_labels;
                continue;
            }
            if (a["text"][0] == "放电坐标") {
                got.push_back("note [放电坐标]");
                continue;
            }
            std::string text;
            for (const auto& line : a["text"]) text += (text.empty() ? "" : "\n") + line.get<std::string>();
            got.push_back(entry("note", text, a["position"][0], a["position"][1], a["alignment"]));
        }
        EXPECT_EQ(got, want) << name << " sheet " << i + 1;
        EXPECT_EQ(view_labels, report[i]["views"].size()) << name;

        if (!label) continue;
        // The chamfered corner on the sheet, from the top view's scale and reference point (the middle of the box it
        // shows: the core widened by the electrode). The sample's only chamfered electrode works from the top.
        ASSERT_EQ(e["direction"], 1) << name;
        const json& view = report[i]["views"][0];
        const double s = view["scale"], ref_x = view["reference_point"][0], ref_y = view["reference_point"][1];
        double lo[2], hi[2];
        for (int k = 0; k < 2; ++k) {
            lo[k] = std::min(expected["core"]["box"]["min"][k].get<double>(), e["body_box"]["min"][k].get<double>());
            hi[k] = std::max(expected["core"]["box"]["max"][k].get<double>(), e["body_box"]["max"][k].get<double>());
        }
        const auto sheet_x = [&](double x) { return ref_x + (x - (lo[0] + hi[0]) / 2) * s; };
        const auto sheet_y = [&](double y) { return ref_y + (y - (lo[1] + hi[1]) / 2) * s; };
        const int corner = e["chamfer_corner"];
        const bool right = corner == 1 || corner == 4, upper = corner == 1 || corner == 2;
        const double cx = sheet_x(e["body_box"][right ? "max" : "min"][0].get<double>());
        const double cy = sheet_y(e["body_box"][upper ? "max" : "min"][1].get<double>());
        EXPECT_NEAR((*label)["leader_point"][0].get<double>(), cx, 0.01) << name;
        EXPECT_NEAR((*label)["leader_point"][1].get<double>(), cy, 0.01) << name;
        const double room_x = right ? sheet_x(hi[0]) - cx : cx - sheet_x(lo[0]);
        const double room_y = upper ? sheet_y(hi[1]) - cy : cy - sheet_y(lo[1]);
        ASSERT_GT(room_x, 7.01) << name << ": the sample places its chamfer where the label goes outside";
        ASSERT_GT(room_y, 7.01) << name;
        EXPECT_NEAR((*label)["position"][0].get<double>(), cx + (right ? 5 : -5), 0.01) << name;
        EXPECT_NEAR((*label)["position"][1].get<double>(), cy + (upper ? 5 : -5), 0.01) << name;
    }
}

// The electrode's extents along the top view's width and height and the depth its side view adds.
std::vector<double> view_extents(const json& box, int direction) {
    std::vector<double> ext(3);
    for (int k = 0; k < 3; ++k) ext[k] = box["max"][k].get<double>() - box["min"][k].get<double>();
    switch (std::abs(direction)) {
        case 1:
            return {ext[0], ext[1], ext[2]};
        case 2:
            return {ext[0], ext[2], ext[1]};
        default:
            return {ext[1], ext[2], ext[0]};
    }
}

bool overlaps(const json& a, const json& b) {
    return a[0].get<double>() < b[2].get<double>() && b[0].get<double>() < a[2].get<double>() &&
           a[1].get<double>() < b[3].get<double>() && b[1].get<double>() < a[3].get<double>();
}

bool inside(const json& box, double x, double y) {
    return box[0].get<double>() <= x && x <= box[2].get<double>() && box[1].get<double>() <= y &&
           y <= box[3].get<double>();
}

// On the first sheet of each electrode layer: the electrode's three views, and its sizes measured as the generator
// built the electrode, all clear of the core views, the notes and the title block. Returns how many such sheets.
int check_electrode_views(const json& report, const json& electrodes) {
    EXPECT_EQ(report.size(), electrodes.size());
    const double title_top = config_value("mold_no_note_point_y:") + 4.5;
    const double frame_x = config_value("elec_top_and_front_view_bound_x:");
    const double frame_y = config_value("elec_top_and_front_view_bound_y:");
    int first_sheets = 0;
    for (std::size_t i = 0; i < electrodes.size() && i < report.size(); ++i) {
        const json& e = electrodes[i];
        if (e["index"] != 1) continue;
        ++first_sheets;
        const std::string name = e["name"];
        const json& views = report[i]["views"];
        if (views.size() != 6u) {
            ADD_FAILURE() << name << " has " << views.size() << " views";
            continue;
        }
        // Sizes from the generator's numbers: the box, then the working part when there is one.
        std::vector<double> sizes = view_extents(e["body_box"], e["direction"]);
        // Below the top view (3) when the frame is relatively taller than the top view, else beside it (2).
        const bool below = frame_y / frame_x > sizes[1] / sizes[0];
        EXPECT_EQ(views[4]["projection"], below ? 3 : 2) << name;
        if (!e["working_box"].is_null()) {
            const std::vector<double> working = view_extents(e["working_box"], e["direction"]);
            sizes.insert(sizes.end(), working.begin(), working.end());
        }
        std::vector<double> measured;
        for (const auto& a : report[i]["annotations"]) {
            if (a["kind"] == "note") {
                for (int v = 3; v < 6; ++v)
                    EXPECT_FALSE(inside(views[v]["sheet_box"], a["position"][0], a["position"][1]))
                        << name << ": note " << a["text"][0] << " on an electrode view";
            }
            if (a["kind"] != "horizontal dimension" && a["kind"] != "vertical dimension") continue;
            if (a["first"]["view"] != views[3]["tag"] && a["first"]["view"] != views[4]["tag"]) continue;
            measured.push_back(a["measured"]);
            // Where the value is drawn: a value its placement would leave on something is moved clear.
            const double x = a["text_position"][0], y = a["text_position"][1];
            EXPECT_TRUE(x > 10 && x < 287 && y > title_top && y < 200) << name << " size at " << x << ", " << y;
            for (int v = 0; v < 6; ++v) EXPECT_FALSE(inside(views[v]["sheet_box"], x, y)) << name << " on view " << v;
            for (const auto& n : report[i]["annotations"]) {
                if (n["kind"] != "note") continue;
                EXPECT_GT(std::hypot(n["position"][0].get<double>() - x, n["position"][1].get<double>() - y), 4.0)
                    << name << " size at " << x << ", " << y << " on the note " << n["text"][0];
            }
        }
        EXPECT_EQ(measured.size(), sizes.size()) << name;
        for (std::size_t k = 0; k < sizes.size() && k < measured.size(); ++k)
            EXPECT_NEAR(measured[k], sizes[k], 0.01) << name << " " << k;
        for (int v = 3; v < 6; ++v) {
            const json& box = views[v]["sheet_box"];
            for (int c = 0; c < 3; ++c) EXPECT_FALSE(overlaps(box, views[c]["sheet_box"])) << name << " " << v << c;
            EXPECT_GT(box[1].get<double>(), title_top) << name;
            EXPECT_LT(box[3].get<double>(), 200.0) << name;
            EXPECT_LT(box[2].get<double>(), 287.0) << name;
        }
    }
    return first_sheets;
}

TEST_F(SampleRunTest, FirstSheetOfEachLayerShowsTheElectrodeAndItsSizesClearOfEverythingElse) {
    ASSERT_EQ(demo_.status, 0) << demo_.err << demo_.out;
    const json expected = read_json(std::string(QUILLON_SOURCE_DIR) + "/examples/sample_mould.expected.json");
    EXPECT_EQ(check_electrode_views(read_json(dir_ / "sample_mould.json")["sheets"], expected["electrodes"]), 7);
}

TEST(DirectionsRunTest, EveryDirectionsElectrodeIsSeenAndMeasuredAsBuilt) {
    const fs::path dir = fs::temp_directory_path() / ("quillon_directions_run_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ::unsetenv("QUILLON_CONF");
    const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
    const std::string part = (dir / "d.prt").string();
    Result r = quillon({"import", examples + "directions_mould.step", "--attrs",
                        examples + "directions_mould.attrs.json", "-o", part});
    ASSERT_EQ(r.status, 0) << r.err;
    r = quillon({"run", part, "--command", COMMAND_LIBRARY, "--set", "INT_1=1", "--set", "INT_2=6"});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.messages, std::vector<std::string>{"完成!"});
    r = quillon({"export", part, "-o", (dir / "out").string(), "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const json expected = read_json(examples + "directions_mould.expected.json");
    const json report = read_json(dir / "out" / "d.json")["sheets"];
    EXPECT_EQ(check_electrode_views(report, expected["electrodes"]), 6);
    fs::remove_all(dir);
}

TEST_F(SampleRunTest, EveryDimensionMeasuresTheGeneratorsEdmPointOrCoreExtreme) {
    ASSERT_EQ(demo_.status, 0) << demo_.err << demo_.out;
    const json expected = read_json(std::string(QUILLON_SOURCE_DIR) + "/examples/sample_mould.expected.json");
    const json report = read_json(dir_ / "sample_mould.json")["sheets"];
    ASSERT_EQ(report.size(), expected["electrodes"].size());
    for (std::size_t i = 0; i < report.size(); ++i) {
        const auto seen = dimensions_test::check_sheet_dimensions(report[i], expected["electrodes"][i],
                                                                  expected["core"]["box"], true);
        EXPECT_GE(seen.ordinates_top, 5) << report[i]["name"];
        EXPECT_GE(seen.ordinates_front, 2) << report[i]["name"];
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

// How many projections an export computed rather than found in the part.
long computed_by(const Result& r) {
    std::smatch m;
    EXPECT_TRUE(std::regex_search(r.out, m, std::regex("projections: ([0-9]+) computed"))) << r.out;
    return m.empty() ? -1 : std::stol(m[1]);
}

// The first line where two outputs differ, or "" when they are the same.
std::string first_difference(const std::string& a, const std::string& b) {
    std::istringstream x(a), y(b);
    std::string p, q;
    while (true) {
        const bool more_x = static_cast<bool>(std::getline(x, p)), more_y = static_cast<bool>(std::getline(y, q));
        if (!more_x && !more_y) return "";
        if (more_x != more_y || p != q) return "'" + p + "' against '" + q + "'";
    }
}

std::map<std::string, std::string> svg_files(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".svg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

void sql(const fs::path& part, const char* statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(part.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class KeptProjectionsTest : public SampleRunTest {
  protected:
    // A copy of the demo's part, exported once into "first".
    void SetUp() override {
        ASSERT_EQ(demo_.status, 0);
        fs::copy_file(part(), copy(), fs::copy_options::overwrite_existing);
        first_ = export_to("first");
    }
    void TearDown() override { fs::remove(copy()); }
    static fs::path copy() { return dir_ / "kept.prt"; }
    Result export_to(const std::string& name) {
        Result r = quillon({"export", copy().string(), "-o", (dir_ / name).string(), "--svg"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r;
    }
    Result first_;
};

TEST_F(KeptProjectionsTest, AnExportFindsWhatTheLastOneComputedAndDrawsTheSameSheets) {
    EXPECT_GT(computed_by(demo_), 0);
    EXPECT_EQ(computed_by(first_), 0) << "the demo's export kept its projections in the part";
    // A run that adds sheets of the same bodies saves the part: the kept projections stay, nothing is projected.
    Result more =
        quillon({"run", copy().string(), "--command", COMMAND_LIBRARY, "--set", "INT_2=7", "--set", "RADIO_9=1"});
    ASSERT_EQ(more.status, 0) << more.err;
    const Result after_run = export_to("after_run");
    EXPECT_EQ(computed_by(after_run), 0);
    // Without kept projections (a part file written before they were kept) the same sheets are drawn.
    sql(copy(), "DROP TABLE projections");
    const Result without = export_to("without");
    EXPECT_GT(computed_by(without), 0);
    // (The run drew the core's centre lines once more, so the sheets are compared with the export after it.)
    const auto first = svg_files(dir_ / "after_run"), again = svg_files(dir_ / "without");
    ASSERT_GT(first.size(), 8u);
    for (const auto& [name, bytes] : first) EXPECT_EQ(first_difference(bytes, again.at(name)), "") << name;
    EXPECT_EQ(computed_by(export_to("third")), 0);
}

TEST_F(KeptProjectionsTest, AMovedBodyOrADamagedKeptProjectionIsProjectedAgain) {
    // One kept projection damaged: it is computed again, never drawn from the damaged bytes.
    sql(copy(),
        "UPDATE projections SET edges = substr(edges, 1, length(edges) - 40) || zeroblob(40)"
        " WHERE rowid = (SELECT min(rowid) FROM projections)");
    const Result damaged = export_to("damaged");
    EXPECT_EQ(computed_by(damaged), 1);
    const auto first = svg_files(dir_ / "first"), again = svg_files(dir_ / "damaged");
    for (const auto& [name, bytes] : first) EXPECT_EQ(first_difference(bytes, again.at(name)), "") << name;

    // The electrode of layer 3 moved a little along z: its projections and their overlaps with the core are new, the
    // core's own are not.
    cadhost::partfile::LoadedPart loaded;
    std::string error;
    ASSERT_TRUE(cadhost::partfile::load(copy().string(), loaded, error)) << error;
    int moved = 0;
    for (const auto& [tag, object] : loaded.document.objects()) {
        if (object.layer != 3 || !object.as<cadhost::BodyData>()) continue;
        gp_Trsf lift;
        lift.SetTranslation(gp_Vec(0, 0, -0.5));
        auto* body = std::get_if<cadhost::BodyData>(&loaded.document.find(tag)->payload);
        body->shape = body->shape.Moved(TopLoc_Location(lift));
        ++moved;
    }
    ASSERT_EQ(moved, 1);
    ASSERT_TRUE(cadhost::partfile::save(copy().string(), loaded.document, loaded.undo_mark, error)) << error;
    const long after_move = computed_by(export_to("moved"));
    EXPECT_GT(after_move, 0);
    EXPECT_LT(after_move, computed_by(demo_) / 2) << "only what shows the moved electrode";
    EXPECT_EQ(computed_by(export_to("fourth")), 0);
}

// The depth-zero label from a scripted answers file: on every sheet of the run at the place typed, its leader at the
// picked core point as each sheet's top view shows it, worked out from the view's reported orientation, scale and
// reference point and from the box of what it shows (the core and the electrode).
TEST_F(SampleRunTest, DepthZeroLabelFromScriptedAnswersIsOnEverySheetOfTheRun) {
    ASSERT_EQ(demo_.status, 0);
    const std::size_t before = sheets().size();
    const fs::path answers = dir_ / "label.answers";
    std::ofstream(answers) << "TOGGLE_14=1\n# keep the text, the point on the core, the place on the sheet\nok\n"
                              "point: 60, 40, 0\npoint: 200, 150\nbutton: YES\n";
    Result r = run({"RADIO_9=1", "--answers", answers.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("not asked for"), std::string::npos) << r.err;

    const json expected = read_json(std::string(QUILLON_SOURCE_DIR) + "/examples/sample_mould.expected.json");
    const json& electrodes = expected["electrodes"];
    const json all = sheets();
    ASSERT_EQ(all.size(), before + electrodes.size());
    const double picked[3] = {60, 40, 0};
    std::set<std::pair<double, double>> leaders;
    for (std::size_t i = 0; i < electrodes.size(); ++i) {
        const json& sheet = all[before + i];
        const json& e = electrodes[i];
        const std::string name = sheet["name"];
        std::vector<json> labels;
        for (const auto& a : sheet["annotations"])
            if (a["kind"] == "label" && a["text"][0] == "Z深度0位面") labels.push_back(a);
        ASSERT_EQ(labels.size(), 1u) << name;
        EXPECT_EQ(labels[0]["position"], json::array({200.0, 150.0})) << name;

        const json& top = sheet["views"][0];
        double centre[3], along_right = 0, along_up = 0;
        for (int k = 0; k < 3; ++k) {
            centre[k] =
                (std::max(expected["core"]["box"]["max"][k].get<double>(), e["body_box"]["max"][k].get<double>()) +
                 std::min(expected["core"]["box"]["min"][k].get<double>(), e["body_box"]["min"][k].get<double>())) /
                2;
            along_right += top["right"][k].get<double>() * (picked[k] - centre[k]);
            along_up += top["up"][k].get<double>() * (picked[k] - centre[k]);
        }
        // The report gives the scale to four decimals: over some 100 mm from the centre that is up to 0.005 mm.
        const double s = top["scale"];
        EXPECT_NEAR(labels[0]["leader_point"][0].get<double>(),
                    top["reference_point"][0].get<double>() + s * along_right, 0.01)
            << name;
        EXPECT_NEAR(labels[0]["leader_point"][1].get<double>(), top["reference_point"][1].get<double>() + s * along_up,
                    0.01)
            << name;
        leaders.emplace(labels[0]["leader_point"][0], labels[0]["leader_point"][1]);
    }
    EXPECT_GT(leaders.size(), 1u) << "the sample's top views differ, and so do the leaders' ends";
}

TEST_F(SampleRunTest, AnUnansweredPromptSavesNothing) {
    ASSERT_EQ(demo_.status, 0);
    const auto bytes = [&] {
        std::ifstream in(part(), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string before = bytes();
    Result r = run({"TOGGLE_14=1", "--answer", "ok", "--answer", "point: 60, 40, 0"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no answer for the prompt '请选择标注放置点.' (a point): give it in the answers file or with "
                         "--answer\nnothing was saved"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out.find("saved "), std::string::npos) << r.out;
    EXPECT_TRUE(bytes() == before) << "the part file is as it was";

    Result unread = run({"TOGGLE_14=1", "--answer", "point: 60, forty"});
    EXPECT_EQ(unread.status, 2);
    EXPECT_NE(unread.err.find("--answer: '60, forty' is not a point"), std::string::npos) << unread.err;
    EXPECT_TRUE(bytes() == before);
}

}  // namespace
