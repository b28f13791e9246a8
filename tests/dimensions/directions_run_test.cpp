// The directions mould end to end through the command line: one electrode on each side of the core, every sheet's
// position and ordinate dimensions checked against the generator's numbers.
#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
