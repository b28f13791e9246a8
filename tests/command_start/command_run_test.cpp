// "quillon run" with the built command library on the sample mould: batch values, refusals and exit statuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/session/session.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
    std::vector<std::string> messages;
};

class CommandRunCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        shared_ = fs::temp_directory_path() / ("quillon_run_" + std::to_string(::getpid()));
        fs::remove_all(shared_);
        const std::string examples = std::string(QUILLON_SOURCE_DIR) + "/examples/";
        fs::create_directories(shared_);
        Result r = quillon({"import", examples + "sample_mould.step", "--attrs", examples + "sample_mould.attrs.json",
                            "-o", (shared_ / "sample_mould.prt").string()});
        ASSERT_EQ(r.status, 0) << r.err;
    }
    static void TearDownTestSuite() { fs::remove_all(shared_); }
    void SetUp() override {
        dir_ = shared_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(dir_ / "conf");
        fs::copy_file(shared_ / "sample_mould.prt", part());
        fs::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def", dir_ / "conf/config.def");
        // Without its template a run's sheets are incomplete, and the run says so with status 1.
        fs::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/my_edm_A4_a.prt", dir_ / "conf/my_edm_A4_a.prt");
    }
    static Result quillon(std::vector<std::string> args) {
        std::ostringstream out, err;
        auto& session = cadhost::Session::instance();
        session.ui().set_terminal(nullptr);
        session.ui().clear();
        int status = cadhost::cli::dispatch(args, out, err);
        return {status, out.str(), err.str(), session.ui().messages()};
    }
    Result run(std::vector<std::string> extra) {
        std::vector<std::string> args{"run", part(), "--command", COMMAND_LIBRARY, "--conf", (dir_ / "conf").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return quillon(args);
    }
    nlohmann::json dump() {
        Result r = quillon({"dump", part()});
        EXPECT_EQ(r.status, 0) << r.err;
        return nlohmann::json::parse(r.out);
    }
    std::string part() const { return (dir_ / "sample_mould.prt").string(); }
    static bool has_view(const nlohmann::json& part, const std::string& name) {
        for (const auto& o : part["part"]["objects"])
            if (o.value("name", "") == name) return true;
        return false;
    }
    std::string file_bytes(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static fs::path shared_;
    fs::path dir_;
};

fs::path CommandRunCliTest::shared_;

TEST_F(CommandRunCliTest, ConfirmedBatchRunEndsWithDoneAndIsSaved) {
    Result r = run({"--set", "INT_2=7", "--set", "STR_1=M-01"});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(r.messages, std::vector<std::string>{"完成!"});
    EXPECT_NE(r.out.find("模仁层 [INT_0]: 240"), std::string::npos) << "the form is shown: " << r.out;
    nlohmann::json saved = dump();
    for (const char* view : {"reve_iso", "reve_s", "reve_s_r", "reve_f", "reve_f_r"})
        EXPECT_TRUE(has_view(saved, view)) << view;
    EXPECT_FALSE(saved["undo_mark"].is_null());
}

TEST_F(CommandRunCliTest, RefusedValueEndsWithItsMessageAndStatusOne) {
    Result r = run({"--set", "INT_2=300"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.messages, std::vector<std::string>{"'铜公层--到' 的范围只能为 1 到 256, 输入错误!"});
    EXPECT_NE(r.err.find("'铜公层--到' 的范围只能为 1 到 256, 输入错误!"), std::string::npos) << r.err;
    EXPECT_FALSE(has_view(dump(), "reve_iso"));
}

TEST_F(CommandRunCliTest, UnknownFieldsAndWronglyTypedValuesAreRefusedBeforeAnythingRuns) {
    const std::string before = file_bytes(part());
    struct Case {
        std::vector<std::string> args;
        const char* says;
    };
    std::ofstream(dir_ / "answers.txt") << "# batch answers\nINT_2=7\n\nINT_9=1\n";
    const Case cases[] = {
        {{"--set", "INT_3=1"}, "--set: no field INT_3 in quillon_dlg.dlg"},
        {{"--set", "INT_0=abc"}, "'abc' is not a whole number"},
        {{"--set", "TOGGLE_10=2"}, "'2' is not 0 or 1"},
        {{"--set", "RADIO_17=8"}, "'8' is not one of the choices 1, 2, 3, 4, 5, 6, 7"},
        {{"--set", "INT_0"}, "'INT_0' is not FIELD=VALUE"},
        {{"--answers", (dir_ / "answers.txt").string()}, "answers.txt:4: no field INT_9 in quillon_dlg.dlg"},
        {{"--answers", (dir_ / "missing.txt").string()}, "cannot read answers file"},
        {{"--conf", (dir_ / "nowhere").string()}, "configuration directory"},
    };
    for (const Case& c : cases) {
        Result r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.messages.empty()) << c.says;
    }
    EXPECT_EQ(file_bytes(part()), before) << "the part was not touched";
}

TEST_F(CommandRunCliTest, AnswersFileGivesValuesAndSetOverridesThem) {
    std::ofstream(dir_ / "answers.txt") << "INT_2 = 7\r\nINT_0=3\n";
    Result refused = run({"--answers", (dir_ / "answers.txt").string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.messages, std::vector<std::string>{"模仁层不能包含铜公层, 输入错误!"});
    Result r = run({"--answers", (dir_ / "answers.txt").string(), "--set", "INT_0=240"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.messages, std::vector<std::string>{"完成!"});
}

TEST_F(CommandRunCliTest, EachRunInOneProcessReadsTheConfigurationAfresh) {
    const fs::path config = dir_ / "conf/config.def";
    const std::string shipped = file_bytes(config);
    ASSERT_EQ(run({"--set", "INT_2=7"}).status, 0);
    std::ofstream(config, std::ios::binary) << "elec_rough_space:,0.2,EOF\n";
    Result second = run({"--set", "INT_2=7"});
    EXPECT_EQ(second.messages, std::vector<std::string>{"在config.def 文件中找不到电极精公的默认火花位标题,请查看标题 "
                                                        "elec_finish_space: 是否正确!"});
    std::ofstream(config, std::ios::binary) << shipped;
    Result third = run({"--set", "INT_2=7"});
    EXPECT_EQ(third.status, 0) << third.err;
    EXPECT_EQ(third.messages, std::vector<std::string>{"完成!"});
}

TEST_F(CommandRunCliTest, MissingDialogFileEndsWithStatusTwo) {
    // The library copied away from its dialog file, with none in the configuration directory either.
    const fs::path library = dir_ / "libquillon_command.so";
    fs::copy_file(COMMAND_LIBRARY, library);
    Result r = quillon({"run", part(), "--command", library.string(), "--conf", (dir_ / "conf").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("dialog file quillon_dlg.dlg is neither beside the command nor in the configuration"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(r.messages.empty());
}

}  // namespace
