// ufusr from start to end: the part, the preferences, the defaults, the dialog and the end message.
#include "cadhost/dialog/prompt_answers.h"
#include "cadhost/session/session.h"
#include "command_start/command_run_fixture.h"
#include "my_func1/elec_defaults.h"
#include "support/odd_preferences.h"

namespace {

using testing_support::CommandRunTest;

class EntryTest : public CommandRunTest {
  protected:
    cadhost::DraftingPreferences prefs() { return doc().drafting_preferences(); }
    // Preferences a user left behind, unlike both the host's defaults and every working value of the command in
    // each member, lettering included.
    cadhost::DraftingPreferences user_prefs() {
        const cadhost::DraftingPreferences p = testing_support::odd_drafting_preferences();
        doc().set_drafting_preferences(p);
        return p;
    }
};

TEST_F(EntryTest, NoDisplayedPartIsRefusedAndTheInterfaceClosed) {
    session().set_display_part(nullptr);
    run_command();
    EXPECT_EQ(messages(), std::vector<std::string>{"目前没有零件打开,请打开零件后再用此功能!"});
    EXPECT_NE(retcode, 0) << "the host is told that the command stopped";
}

TEST_F(EntryTest, CancelLeavesThePartAndRestoresThePreferencesButTwoEntries) {
    build_mould();
    cadhost::DraftingPreferences expected = user_prefs();
    const std::size_t objects = doc().objects().size();
    const int work_layer = doc().work_layer();
    run_command("c\n");
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(retcode, 0) << "nothing failed: the host knows the dialog was cancelled";
    EXPECT_FALSE(run().confirmed);
    EXPECT_EQ(run().declined, "dialog quillon_dlg.dlg closed with Cancel");
    EXPECT_EQ(doc().objects().size(), objects);
    EXPECT_EQ(doc().work_layer(), work_layer);
    EXPECT_FALSE(the_run_settings.stored);
    expected.mpi[3] = 2;
    expected.mpi[16] = 1;
    EXPECT_EQ(testing_support::preference_changes(expected, prefs()), "");
    EXPECT_TRUE(session().display_part()->undo_mark.has_value()) << "the run can be undone in one step";
    EXPECT_STREQ(the_elec_defaults.elec_rough_space, "0.25") << "defaults are read before the dialog";
}

TEST_F(EntryTest, ConfirmedDialogStoresTheSettingsAndEndsWithDone) {
    build_mould();
    cadhost::DraftingPreferences expected = user_prefs();
    run().batch_values = {{"INT_1", "3"},     {"INT_2", "3"},   {"STR_1", "M-0815"}, {"STR_0", "客户甲"},
                          {"RADIO_17", "5"},  {"RADIO_9", "1"}, {"TOGGLE_14", "1"},  {"TOGGLE_12", "0"},
                          {"TOGGLE_11", "1"}, {"INT_4", "200"}};
    // The depth-zero label asks on the first sheet: the user gives it up.
    for (const char* line : {"cancel", "button: YES"}) {
        cadhost::dialog::PromptAnswer answer;
        std::string error;
        ASSERT_TRUE(cadhost::dialog::parse_prompt_answer(line, line, answer, error)) << error;
        run().prompt_answers.push_back(answer);
    }
    run_command();
    EXPECT_EQ(messages(), std::vector<std::string>{"完成!"});
    EXPECT_EQ(run().stop_status, 0);
    EXPECT_EQ(retcode, 0);
    EXPECT_TRUE(run().confirmed);
    EXPECT_EQ(session().ui().last_status(), "") << "the progress line is cleared when the run ends";
    const run_settings& s = the_run_settings;
    EXPECT_TRUE(s.stored);
    EXPECT_EQ(s.mr_layer, 240);
    EXPECT_EQ(s.elec_layer_from, 3);
    EXPECT_EQ(s.elec_layer_to, 3);
    EXPECT_STREQ(s.mold_no, "M-0815");
    EXPECT_STREQ(s.part_no, "test_part");
    EXPECT_STREQ(s.client, "客户甲");
    EXPECT_EQ(s.part_type, 5);
    EXPECT_EQ(s.sheet_name_fs, 1);
    EXPECT_EQ(s.manual_note, 1);
    EXPECT_EQ(s.c_chamf, 0);
    EXPECT_EQ(s.use_wcs_origin, 1);
    EXPECT_EQ(s.show_electrode, 1);
    EXPECT_EQ(doc().work_layer(), 200) << "the drawing layer is the work layer before the run";
    EXPECT_NE(doc().find_model_view("reve_iso"), NULL_TAG);
    EXPECT_NE(doc().find_drawing("MY_ELEC_SHEETA1"), NULL_TAG) << "a whole sheet was made between the two checks";
    expected.mpi[3] = 2;
    expected.mpi[16] = 1;
    EXPECT_EQ(testing_support::preference_changes(expected, prefs()), "");
}

TEST_F(EntryTest, RefusedOkKeepsTheFormWithTheUsersEntries) {
    build_mould();
    // Core 5 inside electrodes 3 to 7, then OK, then Cancel.
    run_command("1\n5\n2\n3\n3\n7\no\nc\n");
    EXPECT_EQ(messages(), std::vector<std::string>{"模仁层不能包含铜公层, 输入错误!"});
    const std::string shown = form.str();
    const std::size_t kept = shown.find("the dialog stays open");
    ASSERT_NE(kept, std::string::npos) << shown;
    EXPECT_NE(shown.find("模仁层 [INT_0]: 5", kept), std::string::npos) << shown;
    EXPECT_NE(shown.find("铜公层--到 [INT_2]: 7", kept), std::string::npos) << shown;
    EXPECT_FALSE(the_run_settings.stored);
    EXPECT_EQ(doc().find_model_view("reve_iso"), NULL_TAG);
}

TEST_F(EntryTest, BatchOkStopsAtTheFirstFailedCheckInOrder) {
    build_mould();
    struct Case {
        std::vector<std::pair<std::string, std::string>> values;
        const char* message;
    };
    const Case cases[] = {
        {{{"INT_0", "0"}, {"INT_1", "0"}, {"INT_4", "0"}}, "'模仁层' 的范围只能为 1 到 256, 输入错误!"},
        {{{"INT_1", "257"}, {"INT_2", "0"}}, "'铜公层--从' 的范围只能为 1 到 256, 输入错误!"},
        {{{"INT_2", "0"}, {"INT_4", "0"}}, "'铜公层--到' 的范围只能为 1 到 256, 输入错误!"},
        {{{"INT_1", "4"}, {"INT_2", "3"}, {"INT_4", "0"}}, "'铜公层--从' 不能大于 '铜公层--到', 输入错误!"},
        {{{"INT_0", "3"}, {"INT_1", "3"}, {"INT_2", "3"}, {"INT_4", "0"}}, "模仁层不能包含铜公层, 输入错误!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "3"}, {"INT_4", "257"}},
         "'存放放电数图纸层' 的范围只能为 1 到 256,输入错误!"},
        // The drawing layer is left out of every view: on the core's or an electrode's layer it would hide them.
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "5"}, {"INT_4", "200"}},
         "'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "5"}, {"INT_4", "3"}},
         "'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "5"}, {"INT_4", "5"}},
         "'存放放电数图纸层' 不能与模仁层或铜公层相同, 输入错误!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "5"}, {"INT_4", "6"}}, "错误! 你所输入的模仁层中没有实体!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "5"}, {"INT_4", "2"}}, "错误! 你所输入的模仁层中没有实体!"},
        {{{"INT_0", "200"}, {"INT_1", "3"}, {"INT_2", "3"}}, "错误! 你所输入的模仁层中没有实体!"},
        {{{"INT_1", "4"}, {"INT_2", "9"}}, "错误! 你所输入的铜公层中没有实体!"},
    };
    for (const Case& c : cases) {
        session().ui().clear();
        run().batch_values = c.values;
        run().stop_status = 0;
        run_command();
        EXPECT_EQ(messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(run().stop_status, 1) << c.message;
        EXPECT_NE(run().stop_reason.find(c.message), std::string::npos) << run().stop_reason;
        EXPECT_FALSE(the_run_settings.stored);
    }
}

TEST_F(EntryTest, NameCheckRunsOnlyWhenSwitchedOn) {
    build_mould();
    ASSERT_EQ(UF_OBJ_set_layer(add_box(20, 20, 0, 5, 5, 5), 3), 0);
    run().batch_values = {{"INT_1", "3"}, {"INT_2", "3"}};
    run_command();
    EXPECT_EQ(messages(),
              std::vector<std::string>{"检测到第3层中有铜公未命名,请用铜公命名功能*给未命名的铜公命名后再用此功能!"});
    session().ui().clear();
    run().batch_values.emplace_back("TOGGLE_10", "0");
    run_command();
    // Past the dialog the run goes on to the electrodes, where the unnamed box, which has no diagonal line, stops it.
    EXPECT_EQ(messages(), (std::vector<std::string>{
                              "第 3 层中的铜公没有对角线,或者对角线数据不对! 或者未合并! 请返回检查!", "完成!"}));
    EXPECT_NE(retcode, 0) << "the drawing run stopped";
}

TEST_F(EntryTest, MissingDefaultsEndTheCommandBeforeTheDialog) {
    build_mould();
    cadhost::DraftingPreferences expected = user_prefs();
    conf.write_config("elec_rough_space:,0.2,EOF\n");
    run_command("o\n");
    EXPECT_EQ(messages(),
              std::vector<std::string>{
                  "在config.def 文件中找不到电极精公的默认火花位标题,请查看标题 elec_finish_space: 是否正确!"});
    EXPECT_EQ(form.str(), "") << "no dialog was shown";
    EXPECT_NE(retcode, 0);
    expected.mpi[3] = 2;
    expected.mpi[16] = 1;
    EXPECT_EQ(testing_support::preference_changes(expected, prefs()), "");
}

TEST_F(EntryTest, DialogThatCannotBeCreatedIsReportedOnTheStatusLineAndStandardOutput) {
    build_mould();
    cadhost::DraftingPreferences expected = user_prefs();
    std::filesystem::remove(conf.path() + "/quillon_dlg.dlg");
    ::testing::internal::CaptureStdout();
    run_command();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "A file could not be read or written\n");
    EXPECT_EQ(session().ui().last_status(), "A file could not be read or written");
    EXPECT_TRUE(messages().empty()) << "no 完成! without a dialog";
    EXPECT_EQ(run().stop_status, 2);
    EXPECT_NE(retcode, 0);
    expected.mpi[3] = 2;
    expected.mpi[16] = 1;
    EXPECT_EQ(testing_support::preference_changes(expected, prefs()), "");
}

TEST_F(EntryTest, ConfirmedDialogWhoseViewsCannotBePreparedRunsNothingEvenAfterAnEarlierRun) {
    build_mould();
    // Settings a host that kept the library loaded would still hold from the run before.
    the_run_settings.stored = 1;
    // Outside modelling and drafting the reversed views cannot be made: OK closes the dialog without storing.
    doc().set_application_module(0);
    run().batch_values = {{"INT_1", "3"}, {"INT_2", "3"}};
    run_command();
    EXPECT_EQ(messages(), std::vector<std::string>{"此功能必需在MODELING或在DRAFTING模块下运行!"});
    EXPECT_FALSE(the_run_settings.stored);
    EXPECT_NE(retcode, 0);
    EXPECT_TRUE(run().confirmed);
}

TEST(EntryPointsTest, LibraryAsksToBeUnloadedAtOnce) { EXPECT_EQ(ufusr_ask_unload(), UF_UNLOAD_IMMEDIATELY); }

}  // namespace
