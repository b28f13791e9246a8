// The sample mould's exported files read back by other programs' means: every DXF audited by a strict reader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/session/session.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::string run_tool(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << command;
    }
    return output;
}

std::vector<fs::path> files_ending(const fs::path& dir, const std::string& extension) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == extension) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    return found;
}

class SampleOutputsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("quillon_sample_outputs_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        ::unsetenv("QUILLON_CONF");
        std::ostringstream out, err;
        cadhost::Session::instance().ui().set_terminal(nullptr);
        status_ = cadhost::cli::dispatch({"demo", "-o", dir_.string(), "--command", COMMAND_LIBRARY}, out, err);
        error_ = err.str();
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }
    static fs::path dir_;
    static int status_;
    static std::string error_;
};
fs::path SampleOutputsTest::dir_;
int SampleOutputsTest::status_ = -1;
std::string SampleOutputsTest::error_;

TEST_F(SampleOutputsTest, EveryDxfPassesAStrictAuditUntouched) {
    ASSERT_EQ(status_, 0) << error_;
    const std::vector<fs::path> dxfs = files_ending(dir_, ".dxf");
    ASSERT_GE(dxfs.size(), 8u);
    std::string command = "/usr/bin/python3 '" QUILLON_SOURCE_DIR "/tests/render/dxf_audit.py'";
    for (const fs::path& path : dxfs) command += " '" + path.string() + "'";
    const json audit = json::parse(run_tool(command));
    ASSERT_EQ(audit.size(), dxfs.size());
    for (const auto& [file, account] : audit.items()) {
        SCOPED_TRACE(file);
        EXPECT_EQ(account["errors"], json::array());
        EXPECT_EQ(account["fixes"], json::array());
        EXPECT_EQ(account["codepage"], "ANSI_936");
        EXPECT_GT(account["entities"].value("DIMENSION", 0), 0) << "dimensions survive the audit";
        EXPECT_EQ(account["text_styles"], json::array({"gbsn00lp"}));
        EXPECT_EQ(account["styles"]["gbsn00lp"], json::array({"gbsn00lp.ttf", ""}));
        EXPECT_EQ(account["styles"]["GB_SHX"], json::array({"gbenor.shx", "gbcbig.shx"}));
        // Each dimension once: its block draws it, and nothing outside the block draws it again.
        for (const json& dimension : account["dimensions"]) {
            EXPECT_GE(dimension["lines"], 1) << dimension;
            EXPECT_EQ(dimension["texts"], 1) << dimension;
            if (dimension["measured"].get<double>() > 0) {
                EXPECT_EQ(dimension["arrows"], 2) << dimension;
            }
        }
        EXPECT_EQ(account["plain_copies"], 0);
        EXPECT_EQ(account["plain_texts_and_arrows_on_dimension_layers"], 0);
    }
}

// Holes and rounded corners stay circles and ellipses from the projection to the files: the DXF holds as many CIRCLE,
// ARC and ELLIPSE entities as the SVG of the same sheet draws circles, circular arcs, ellipses and elliptic arcs, and
// no view holds a polyline that follows a curve: the sample's views are made of lines, circles and ellipses only.
TEST_F(SampleOutputsTest, CirclesArcsAndEllipsesStayTrueCurvesInDxfAndSvg) {
    ASSERT_EQ(status_, 0) << error_;
    std::string command = "/usr/bin/python3 '" QUILLON_SOURCE_DIR "/tests/render/dxf_audit.py'";
    const std::vector<fs::path> dxfs = files_ending(dir_, ".dxf");
    for (const fs::path& path : dxfs) command += " '" + path.string() + "'";
    const json audit = json::parse(run_tool(command));
    for (const fs::path& dxf : dxfs) {
        SCOPED_TRACE(dxf.filename().string());
        std::ifstream in(fs::path(dxf).replace_extension(".svg"));
        const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The arc commands of the paths: "a rx ry rotation large sweep dx dy". Equal radii make a circle's arc; a whole
        // circle or ellipse is two halves with the sweep flag set, a piece of one has it clear.
        const std::regex arc("a(-?[0-9.]+) (-?[0-9.]+) -?[0-9.]+ [01] ([01])");
        int circles = 0, arcs = 0, ellipses = 0;
        for (auto it = std::sregex_iterator(svg.begin(), svg.end(), arc); it != std::sregex_iterator(); ++it) {
            const bool round = (*it)[1] == (*it)[2], whole = (*it)[3] == "1";
            (round ? (whole ? circles : arcs) : ellipses) += whole ? 1 : 2;  // halves count one half each
        }
        const json& account = audit[dxf.string()];
        const json& entities = account["entities"];
        EXPECT_EQ(2 * entities.value("CIRCLE", 0), circles);
        EXPECT_EQ(2 * entities.value("ARC", 0), arcs);
        EXPECT_EQ(2 * entities.value("ELLIPSE", 0), ellipses);
        // Beyond the two circles drawn on the dimension layer, the electrode's own holes and rounded corners.
        EXPECT_GT(entities.value("CIRCLE", 0) + entities.value("ARC", 0), 2);
        // The iso views show the rounded corners and holes obliquely.
        EXPECT_GT(entities.value("ELLIPSE", 0), 0);
        EXPECT_EQ(account["view_curved_polylines"], 0);
    }
}

TEST_F(SampleOutputsTest, PdfIsTitledAfterThePartWithABookmarkAndLabelPerSheet) {
    ASSERT_EQ(status_, 0) << error_;
    std::vector<std::string> sheets;
    for (const fs::path& dxf : files_ending(dir_, ".dxf")) sheets.push_back(dxf.stem().string());
    const json read = json::parse(run_tool("/usr/bin/python3 '" QUILLON_SOURCE_DIR "/tests/render/pdf_outline.py' '" +
                                           (dir_ / "sample_mould.pdf").string() + "'"));
    EXPECT_EQ(read["title"], "sample_mould");
    std::vector<std::string> bookmarks;
    for (const json& item : read["outline"]) bookmarks.push_back(item["title"]);
    for (const std::string& sheet : sheets)
        EXPECT_EQ(std::count(bookmarks.begin(), bookmarks.end(), sheet), 1) << "one bookmark for sheet " << sheet;
    EXPECT_EQ(bookmarks.size(), read["pages"].get<std::size_t>()) << "every page has its bookmark";
    EXPECT_EQ(read["labels"].size(), bookmarks.size());
    for (std::size_t i = 0; i < read["outline"].size(); ++i)
        EXPECT_EQ(read["labels"][read["outline"][i]["page"].get<int>() - 1], read["outline"][i]["title"]);
}

}  // namespace
