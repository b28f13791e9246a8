// A frame bound of 0 in config.def gives a mould-core view scale of 0: the command stops with its message instead of
// making centre lines at infinity that the part would keep and every later export refuse.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "hardening/hardening_fixture.h"
#include "hardening/quillon_process.h"

namespace {

using hardening::describe;
using hardening::Outcome;
using hardening::run_quillon;

using LayoutScale = hardening::ScratchTest;

TEST_F(LayoutScale, AZeroFrameBoundStopsTheRunWithTheCommandsMessage) {
    namespace fs = std::filesystem;
    fs::copy(std::string(QUILLON_SOURCE_DIR) + "/conf", path("conf"), fs::copy_options::recursive);
    std::string config;
    {
        std::ifstream in(path("conf/config.def"));
        std::stringstream text;
        text << in.rdbuf();
        config = text.str();
    }
    const std::string key = "mr_top_and_front_view_bound_x:,";
    const auto at = config.find(key);
    ASSERT_NE(at, std::string::npos);
    config.replace(at + key.size(), config.find(',', at + key.size()) - at - key.size(), "0");
    std::ofstream(path("conf/config.def")) << config;

    ASSERT_EQ(run_quillon({"import", sample("sample_mould.step"), "-o", path("mould.prt")}).status, 0);
    const Outcome run = run_quillon({"run", path("mould.prt"), "--conf", path("conf"), "--set", "INT_0=240", "--set",
                                     "INT_1=1", "--set", "INT_2=7", "--set", "STR_1=M-1"});
    // The run's exit status for a stopped drawing run is the run driver's business; here it must end normally.
    EXPECT_TRUE(run.exited && run.status <= 1) << describe(run);
    EXPECT_NE(run.out.find("import_mr_view 视图比例错误"), std::string::npos) << run.out;
    // What the run made before it stopped is kept, and it is a part that exports.
    const Outcome exported = run_quillon({"export", path("mould.prt"), "-o", path("out"), "--json"});
    EXPECT_EQ(exported.status, 0) << describe(exported);
}

}  // namespace
