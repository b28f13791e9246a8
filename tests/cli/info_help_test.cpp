// quillon info on the sample mould against what its generator built, and what the program says about itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/in_process.h"
#include "cadhost/cli/info_command.h"
#include "cadhost/dialog/dialog_file.h"

namespace {

namespace fs = std::filesystem;

using cli_test::quillon;
using cli_test::Result;

std::string source(const std::string& name) { return std::string(QUILLON_SOURCE_DIR) + "/" + name; }

// One import of the sample for the whole suite: its info is compared with the generator's own account of it.
class SampleInfo : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new fs::path(fs::temp_directory_path() / ("quillon_info_" + std::to_string(::getpid())));
        fs::create_directories(*dir_);
        part_ = new std::string((*dir_ / "sample.prt").string());
        const Result imported = quillon({"import", source("examples/sample_mould.step"), "--attrs",
                                         source("examples/sample_mould.attrs.json"), "-o", *part_});
        ASSERT_EQ(imported.status, 0) << imported.err;
    }
    static void TearDownTestSuite() {
        fs::remove_all(*dir_);
        delete dir_;
        delete part_;
    }
    static nlohmann::json expected() {
        return nlohmann::json::parse(std::ifstream(source("examples/sample_mould.expected.json")));
    }
    static fs::path* dir_;
    static std::string* part_;
};

fs::path* SampleInfo::dir_ = nullptr;
std::string* SampleInfo::part_ = nullptr;

TEST_F(SampleInfo, JsonListsTheElectrodesWithTheirAttributesAndTheCore) {
    const Result r = quillon({"info", *part_, "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json info = nlohmann::json::parse(r.out);
    const nlohmann::json built = expected();

    // Every electrode body the generator built, in layer order, with the attributes it was given.
    std::vector<std::pair<int, std::string>> candidates, electrodes;
    for (const auto& layer : info["electrode_candidates"])
        for (const auto& body : layer["bodies"]) candidates.emplace_back(layer["layer"], body["name"]);
    for (const auto& e : built["electrodes"]) electrodes.emplace_back(e["layer"], e["name"]);
    EXPECT_EQ(candidates, electrodes);
    for (const auto& e : built["electrodes"]) {
        const int layer = e["layer"];
        for (const auto& entry : info["electrode_candidates"]) {
            if (entry["layer"] != layer) continue;
            const auto& body = entry["bodies"][e["index"].get<int>() == 1 ? 0 : entry["bodies"].size() - 1];
            for (const auto& [title, typed] : e["attributes"].items())
                EXPECT_EQ(body["attributes"][title], typed.begin().value()) << e["name"] << " " << title;
            EXPECT_EQ(body["attributes"].size(), e["attributes"].size()) << e["name"];
            EXPECT_EQ(body["color"], "#B87333") << e["name"] << ": the sample's electrodes are copper";
        }
    }
    EXPECT_EQ(info["core"]["layer"], 240);
    ASSERT_EQ(info["core"]["bodies"].size(), 1u);
    EXPECT_EQ(info["core"]["bodies"][0]["name"], built["core"]["name"]);
    EXPECT_EQ(info["core"]["bodies"][0]["color"], "#808080");
    EXPECT_EQ(info["pages"], 0);

    // The layers with their objects by kind, as the generator lists them in order.
    std::map<int, std::vector<std::string>> listed, made;
    for (const auto& layer : info["layers"])
        for (const auto& [kind, names] : layer["objects"].items())
            for (const auto& name : names) listed[layer["layer"]].push_back(kind + " " + name.get<std::string>());
    for (const auto& layer : built["layers"])
        for (const auto& object : layer["objects"]) {
            std::string kind = object["kind"];
            kind = kind == "solid" ? "solid body" : kind == "circle" ? "arc" : kind;
            made[layer["layer"]].push_back(kind + " " + object["name"].get<std::string>());
        }
    for (auto& [layer, objects] : made) std::stable_sort(objects.begin(), objects.end());
    for (auto& [layer, objects] : listed) std::stable_sort(objects.begin(), objects.end());
    EXPECT_EQ(listed, made);
}

TEST_F(SampleInfo, TheSummaryReadsAsAPersonNeedsIt) {
    const Result r = quillon({"info", *part_});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line :
         {"  layer 2: 2 solid bodies (E02, E02); 2 lines (E02 对角线, E02 对角线)\n",
          "  layer 5: E05, drawn copper (#B87333) [s_x=110.0, s_y=5.0, s_z=-30.0, ELEC_FINISH_SPACE=0.1, "
          "elec_finish_number=2]\n",
          "  layer 4: E04, drawn copper (#B87333)\n", "core layer 240: CORE, drawn grey (#808080)\n",
          "sheets: 0 pages\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << "\nin\n" << r.out;
    const Result other_core = quillon({"info", *part_, "--core-layer", "1"});
    EXPECT_NE(other_core.out.find("core layer 1: E01, drawn copper (#B87333)\n"), std::string::npos) << other_core.out;
    EXPECT_EQ(other_core.out.find("  layer 1: E01"), std::string::npos) << "the core is no electrode candidate";
}

TEST(InfoSheets, SheetsAreListedWithSizeAndViews) {
    cadhost::Document doc;
    cadhost::Object sheet;
    sheet.type = UF_drawing_type;
    sheet.name = "E01";
    sheet.payload = cadhost::DrawingData{};
    const tag_t drawing = doc.add(std::move(sheet), false);
    for (int i = 0; i < 3; ++i) {
        cadhost::Object view;
        view.type = UF_view_type;
        cadhost::DrawingViewData data;
        data.drawing = drawing;
        view.payload = data;
        doc.add(std::move(view), false);
    }
    // A name with a line break stays on its line in the summary, and as it is in JSON.
    cadhost::Object second;
    second.type = UF_drawing_type;
    second.name = "E02\nspare";
    second.payload = cadhost::DrawingData{};
    doc.add(std::move(second), false);
    std::ostringstream out;
    const auto info = cadhost::cli::part_info(doc, 240);
    cadhost::cli::write_part_info(out, info);
    EXPECT_NE(out.str().find("sheets: 2 pages\n  E01 (297.0 x 210.0 mm, 3 views)\n  E02\\nspare (297.0"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(info["sheets"][1]["name"], "E02\nspare");
}

TEST(InfoRefusals, BadArgumentsAndUnreadablePartsExitWithTwo) {
    EXPECT_EQ(quillon({"info"}).status, 2);
    EXPECT_EQ(quillon({"info", "/no/such/part.prt"}).status, 2);
    EXPECT_EQ(quillon({"info", "a.prt", "--core-layer", "257"}).status, 2);
    EXPECT_EQ(quillon({"info", "a.prt", "--core-layer", "2x"}).status, 2);
    EXPECT_EQ(quillon({"info", "a.prt", "--verbose"}).status, 2);
}

TEST(ProgramHelp, VersionAndUsage) {
    const Result version = quillon({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quillon ", 0), 0u) << version.out;
    EXPECT_NE(version.out.find("Open CASCADE 7."), std::string::npos) << version.out;
    for (const char* ask : {"-h", "--help", "help"}) {
        const Result help = quillon({ask});
        EXPECT_EQ(help.status, 0) << ask;
        EXPECT_NE(help.out.find("quillon info PART.prt"), std::string::npos) << help.out;
    }
    EXPECT_EQ(quillon({}).status, 2);
}

// The fields come from the dialog file itself, so a changed file changes the help.
TEST(ProgramHelp, RunHelpListsEveryDialogFieldFromTheDialogFile) {
    cadhost::dialog::DialogDefinition dialog;
    std::string error;
    ASSERT_TRUE(cadhost::dialog::read_dialog_file(source("quillon/quillon_dlg.dlg"), dialog, error)) << error;
    const std::string library = std::string(QUILLON_BINARY_DIR) + "/libquillon_command.so";
    const Result help = quillon({"run", "--help", "--conf", source("conf"), "--command", library});
    ASSERT_EQ(help.status, 0) << help.err;
    EXPECT_NE(help.out.find("usage: quillon run PART.prt"), std::string::npos) << help.out;
    for (const auto& field : dialog.fields) {
        const std::string line = "  " + field.id + " (" + cadhost::dialog::kind_name(field.kind) + ")  " + field.label;
        EXPECT_NE(help.out.find(line), std::string::npos) << line << "\nin\n" << help.out;
    }
    EXPECT_NE(help.out.find("  INT_0 (integer)  模仁层 (core_layer); opens with 240\n"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("      7  斜 顶\n"), std::string::npos) << help.out;

    const fs::path empty = fs::temp_directory_path() / ("quillon_no_dialog_" + std::to_string(::getpid()));
    fs::create_directories(empty);
    const Result none = quillon({"run", "--help", "--conf", empty.string(), "--command", (empty / "lib.so").string()});
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("no dialog file"), std::string::npos) << none.err;
    fs::remove_all(empty);
}

}  // namespace
