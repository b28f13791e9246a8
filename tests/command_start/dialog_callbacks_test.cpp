// The options dialog's constructor and callbacks, driven through the host's dialog facility.
#include "cadhost/session/session.h"
#include "command_start/command_run_fixture.h"
#include "host/uf_styler.h"
#include "quillon/dialog.h"
#include "support/source_lines.h"

namespace {

using testing_support::CommandRunTest;

// What the test's OK callback saw on the form.
std::map<std::string, std::string> seen;

int record_form(int dialog_id, void*, UF_STYLER_callback_info_p_t) {
    for (const char* id : {"INT_0", "INT_1", "INT_2", "INT_4", "TOGGLE_10", "TOGGLE_11", "TOGGLE_12", "TOGGLE_14",
                           "STR_0", "STR_1", "STR_2", "RADIO_17", "RADIO_9"}) {
        UF_STYLER_item_value_type_t value;
        name_dialog_value(&value, id);
        if (UF_STYLER_ask_value(dialog_id, &value) != 0) continue;
        seen[id] = value.indicator == UF_STYLER_STRING_VALUE ? std::string(value.value.string)
                                                             : std::to_string(value.value.integer);
        UF_STYLER_free_value(&value);
    }
    return UF_UI_CB_EXIT_DIALOG;
}

class DialogCallbacksTest : public CommandRunTest {
  protected:
    int open_with_constructor() {
        seen.clear();
        UF_STYLER_callback_item_t table[] = {
            {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_CB, 0, quillon_constructor_cb},
            {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_CB, 0, record_form},
            {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, nullptr},
        };
        int response = 0;
        EXPECT_EQ(UF_STYLER_create_dialog(QUILLON_DIALOG_FILE, table, 3, nullptr, &response), 0);
        return response;
    }
};

TEST_F(DialogCallbacksTest, OpensWithTheCommandsInitialValues) {
    session().display_part()->path = "/work/moulds/A-17.core.prt";
    EXPECT_EQ(open_with_constructor(), UF_UI_OK);
    EXPECT_EQ(seen, (std::map<std::string, std::string>{{"INT_0", "240"},
                                                        {"INT_1", "1"},
                                                        {"INT_2", "1"},
                                                        {"INT_4", "254"},
                                                        {"TOGGLE_10", "1"},
                                                        {"TOGGLE_11", "0"},
                                                        {"TOGGLE_12", "1"},
                                                        {"TOGGLE_14", "0"},
                                                        {"STR_0", ""},
                                                        {"STR_1", ""},
                                                        {"STR_2", "A-17.core"},
                                                        {"RADIO_17", "3"},
                                                        {"RADIO_9", "0"}}));
    EXPECT_EQ(session().ui().listing(), "");
}

TEST_F(DialogCallbacksTest, ConstructorReportsTheOneWrappedCallUnderTheCommandModule) {
    // A dialog file without the naming choice: the constructor's wrapped set of RADIO_9 fails and is reported.
    conf.write("quillon_dlg.dlg", "dialog trimmed\nfield INT_0 integer\n");
    EXPECT_EQ(open_with_constructor(), UF_UI_OK);
    EXPECT_EQ(seen["INT_0"], "240");
    const std::string listing = session().ui().listing();
    const std::string where =
        "quillon/dialog_callbacks.cpp, line " +
        std::to_string(testing_support::source_line("quillon/dialog_callbacks.cpp", "UF_CALL(UF_STYLER_set_value("));
    EXPECT_EQ(listing.rfind(where + ":", 0), 0u) << listing;
    EXPECT_NE(listing.find(":  UF_STYLER_set_value( dialog_id, &sheet_name_fs_data )\n"
                           "    error 1005:  An argument is missing or out of range\n"),
              std::string::npos)
        << listing;
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 2) << "the unwrapped sets are not reported";
}

TEST_F(DialogCallbacksTest, BackAndCancelCloseWithoutStoring) {
    build_mould();
    for (const char* button : {"b\n", "c\n"}) {
        run_command(button);
        EXPECT_FALSE(the_run_settings.stored) << button;
        EXPECT_TRUE(messages().empty()) << button;
        EXPECT_EQ(doc().find_model_view("reve_iso"), NULL_TAG);
    }
}

TEST_F(DialogCallbacksTest, LongTitleBlockTextsAreCutAtACharacterBoundary) {
    build_mould();
    std::string client;
    for (int i = 0; i < 50; ++i) client += "模";  // 150 bytes
    run().batch_values = {{"INT_1", "3"},
                          {"INT_2", "3"},
                          {"STR_0", client},
                          {"STR_1", std::string(100, 'M')},
                          {"STR_2", "件" + std::string(100, 'P')}};
    run_command();
    ASSERT_TRUE(the_run_settings.stored);
    EXPECT_EQ(std::string(the_run_settings.client), client.substr(0, 132)) << "44 whole characters";
    EXPECT_EQ(std::string(the_run_settings.mold_no), std::string(79, 'M'));
    EXPECT_EQ(std::string(the_run_settings.part_no), "件" + std::string(76, 'P'));
}

TEST(PartFileStemTest, FolderAndLastExtensionAreTakenOff) {
    char stem[16];
    part_file_stem("d:\\parts\\ab12.prt", stem, sizeof stem);
    EXPECT_STREQ(stem, "ab12");
    part_file_stem("/tmp/x.y/mould.v2.prt", stem, sizeof stem);
    EXPECT_STREQ(stem, "mould.v2");
    part_file_stem("plain", stem, sizeof stem);
    EXPECT_STREQ(stem, "plain");
    part_file_stem("/a/very_long_part_name_here.prt", stem, sizeof stem);
    EXPECT_STREQ(stem, "very_long_part_") << "cut to the buffer";
}

}  // namespace
