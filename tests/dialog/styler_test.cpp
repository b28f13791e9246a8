// The dialog facility through the host interface: callbacks, values, the terminal form and batch runs.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cadhost/session/session.h"
#include "host/uf_styler.h"
#include "support/host_fixture.h"

namespace {

namespace fs = std::filesystem;

// What the callbacks did, in order, and what they answer.
std::vector<std::string> calls;
int ok_answer = UF_UI_CB_EXIT_DIALOG;
int nested_status = 0;

UF_STYLER_item_value_type_t record(const char* id, int indicator = UF_STYLER_INTEGER_VALUE) {
    UF_STYLER_item_value_type_t v{};
    v.item_id = id;
    v.item_attr = UF_STYLER_VALUE;
    v.indicator = indicator;
    return v;
}

std::string ask(int dialog_id, const char* id) {
    UF_STYLER_item_value_type_t v = record(id);
    if (UF_STYLER_ask_value(dialog_id, &v) != 0) return "?";
    if (v.indicator != UF_STYLER_STRING_VALUE) return std::to_string(v.value.integer);
    std::string text = v.value.string;
    UF_STYLER_free_value(&v);
    EXPECT_EQ(v.value.string, nullptr);
    return text;
}

int constructor(int id, void* client, UF_STYLER_callback_info_p_t info) {
    calls.push_back("constructor " + std::to_string(info->reason) + (client ? " client" : ""));
    UF_STYLER_item_value_type_t n = record("N");
    n.value.integer = 7;
    EXPECT_EQ(UF_STYLER_set_value(id, &n), 0);
    return UF_UI_CB_CONTINUE_DIALOG;
}
int ok(int id, void*, UF_STYLER_callback_info_p_t) {
    calls.push_back("ok N=" + ask(id, "N") + " S=" + ask(id, "S") + " T=" + ask(id, "T") + " R=" + ask(id, "R"));
    int response = 0;
    nested_status = UF_STYLER_create_dialog("t.dlg", nullptr, 0, nullptr, &response);
    return ok_answer;
}
int cancel(int, void*, UF_STYLER_callback_info_p_t) {
    calls.push_back("cancel");
    return UF_UI_CB_EXIT_DIALOG;
}
int destructor(int, void*, UF_STYLER_callback_info_p_t) {
    calls.push_back("destructor");
    return UF_UI_CB_CONTINUE_DIALOG;
}

UF_STYLER_callback_item_t table[] = {
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_CB, 0, constructor},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_CB, 0, ok},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CANCEL_CB, 0, cancel},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_CB, 0, destructor},
    {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, nullptr},
    // Past the terminating row: never looked at.
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_BACK_CB, 0, cancel},
};

class StylerTest : public testing_support::HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        dir_ = fs::temp_directory_path() / ("quillon_styler_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "t.dlg") << "dialog 测试\nfield N integer\n label 数\nfield S text\n default 甲\n"
                                         "field T toggle\nfield R radio\n choice 1 一\n choice 2 二\n";
        run() = cadhost::RunContext{};
        run().conf_dir = dir_.string();
        calls.clear();
        ok_answer = UF_UI_CB_EXIT_DIALOG;
        nested_status = 0;
    }
    void TearDown() override {
        run() = cadhost::RunContext{};
        fs::remove_all(dir_);
        HostTest::TearDown();
    }
    static cadhost::RunContext& run() { return session().run(); }
    int open(const std::string& terminal_input, int* response, void* client = nullptr) {
        std::istringstream in(terminal_input);
        run().interactive = true;
        run().form_in = &in;
        run().form_out = &shown_;
        int status = UF_STYLER_create_dialog("t.dlg", table, 6, client, response);
        run().form_in = nullptr;
        return status;
    }
    fs::path dir_;
    std::ostringstream shown_;
};

TEST_F(StylerTest, TerminalEditsReachTheOkCallbackAndWrongKindsAreKeptOut) {
    int response = 0;
    int client = 0;
    ASSERT_EQ(open("1\nabc\n1\n12\n2\n乙 丙\n3\n5\n3\n1\n4\n2\n9\nx\no\n", &response, &client), 0);
    EXPECT_EQ(response, UF_UI_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"constructor 8 client", "ok N=12 S=乙 丙 T=1 R=2", "destructor"}));
    EXPECT_NE(shown_.str().find("not accepted: 'abc' is not a whole number"), std::string::npos) << shown_.str();
    EXPECT_NE(shown_.str().find("not accepted: '5' is not 0 or 1"), std::string::npos);
    EXPECT_NE(shown_.str().find("no field 9"), std::string::npos);
    EXPECT_NE(shown_.str().find("数 [N]: 7"), std::string::npos) << "the constructor's value is on the form";
    EXPECT_EQ(nested_status, UF_err_not_supported) << "a dialog cannot be opened from a dialog's callback";
}

TEST_F(StylerTest, RefusedOkKeepsTheFormAndTheEndOfInputCancels) {
    ok_answer = UF_UI_CB_CONTINUE_DIALOG;
    int response = 0;
    ASSERT_EQ(open("1\n3\no\n", &response), 0);
    EXPECT_EQ(response, UF_UI_CANCEL);
    EXPECT_EQ(calls, (std::vector<std::string>{"constructor 8", "ok N=3 S=甲 T=0 R=1", "cancel", "destructor"}));
    const std::string text = shown_.str();
    EXPECT_NE(text.find("数 [N]: 3", text.find("the dialog stays open")), std::string::npos) << text;
}

TEST_F(StylerTest, BatchRunAppliesValuesAfterTheConstructorAndPressesOkOnce) {
    run().batch_values = {{"N", "40"}, {"R", "2"}, {"OTHER", "1"}, {"N", "41"}};
    int response = 0;
    ASSERT_EQ(UF_STYLER_create_dialog("t.dlg", table, 6, nullptr, &response), 0);
    EXPECT_EQ(response, UF_UI_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"constructor 8", "ok N=41 S=甲 T=0 R=2", "destructor"}));
    EXPECT_EQ(run().stop_status, 0);

    calls.clear();
    ok_answer = UF_UI_CB_CONTINUE_DIALOG;
    ASSERT_EQ(UF_STYLER_create_dialog("t.dlg", table, 6, nullptr, &response), 0);
    EXPECT_EQ(response, UF_UI_CANCEL);
    EXPECT_EQ(calls, (std::vector<std::string>{"constructor 8", "ok N=41 S=甲 T=0 R=2", "cancel", "destructor"}));
    EXPECT_EQ(run().stop_status, 1);
    EXPECT_EQ(run().stop_reason, "OK of dialog t.dlg was refused");
}

TEST_F(StylerTest, ValuesOutsideTheFieldAreRefusedAndChangeNothing) {
    static std::vector<int> statuses;
    statuses.clear();
    UF_STYLER_callback_item_t probe[] = {
        {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_CB, 0,
         [](int id, void*, UF_STYLER_callback_info_p_t) {
             UF_STYLER_item_value_type_t v = record("T");
             v.value.integer = 2;
             statuses.push_back(UF_STYLER_set_value(id, &v));
             v = record("R");
             v.value.integer = 0;
             statuses.push_back(UF_STYLER_set_value(id, &v));
             v = record("NOPE");
             statuses.push_back(UF_STYLER_set_value(id, &v));
             statuses.push_back(UF_STYLER_ask_value(id, &v));
             v = record("S", UF_STYLER_STRING_VALUE);
             v.value.string = nullptr;
             statuses.push_back(UF_STYLER_set_value(id, &v));
             v.item_attr = 5;
             statuses.push_back(UF_STYLER_ask_value(id, &v));
             statuses.push_back(UF_STYLER_ask_value(id + 1, &v));
             v = record("S", UF_STYLER_STRING_VALUE);
             char text[] = "乙";
             v.value.string = text;
             statuses.push_back(UF_STYLER_set_value(id, &v));
             calls.push_back("T=" + ask(id, "T") + " R=" + ask(id, "R") + " S=" + ask(id, "S"));
             return UF_UI_CB_EXIT_DIALOG;
         }},
        {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, nullptr},
    };
    int response = 0;
    ASSERT_EQ(UF_STYLER_create_dialog("t.dlg", probe, 2, nullptr, &response), 0);
    EXPECT_EQ(statuses,
              (std::vector<int>{UF_err_bad_argument, UF_err_bad_argument, UF_err_bad_argument, UF_err_bad_argument,
                                UF_err_bad_argument, UF_err_not_supported, UF_err_bad_argument, 0}));
    EXPECT_EQ(calls, std::vector<std::string>{"T=0 R=1 S=乙"});
    UF_STYLER_item_value_type_t v = record("N");
    EXPECT_EQ(UF_STYLER_ask_value(1, &v), UF_err_bad_argument) << "no dialog is open now";
}

TEST_F(StylerTest, AValueOfAnotherKindThanTheFieldEndsTheRunNamingTheDeclaration) {
    // N is set as an integer; declared text, its string member would be read from that integer.
    std::ofstream(dir_ / "t.dlg") << "dialog 测试\nfield S text\n# N holds a text here\nfield N text\n";
    static int status = 0;
    UF_STYLER_callback_item_t sets_n[] = {
        {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_CB, 0,
         [](int id, void*, UF_STYLER_callback_info_p_t) {
             UF_STYLER_item_value_type_t n = record("N");
             n.value.integer = 7;
             status = UF_STYLER_set_value(id, &n);
             return UF_UI_CB_CONTINUE_DIALOG;
         }},
        {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_CB, 0, ok},
        {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_CB, 0, destructor},
        {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, nullptr},
    };
    run().batch_values = {{"S", "x"}};
    int response = 0;
    ASSERT_EQ(UF_STYLER_create_dialog("t.dlg", sets_n, 4, nullptr, &response), 0);
    EXPECT_EQ(status, UF_err_bad_argument);
    EXPECT_EQ(response, UF_UI_CANCEL);
    EXPECT_EQ(calls, std::vector<std::string>{"destructor"}) << "no form is shown and no button pressed";
    EXPECT_EQ(run().stop_status, 2);
    EXPECT_EQ(run().stop_reason,
              (dir_ / "t.dlg").string() + ":4: field N is declared text, but the command sets it as an integer");
}

TEST_F(StylerTest, DialogsThatCannotBeShownLeaveTheResponse) {
    int response = 5;
    EXPECT_EQ(UF_STYLER_create_dialog("none.dlg", table, 6, nullptr, &response), UF_err_io);
    EXPECT_EQ(run().stop_status, 2);
    std::ofstream(dir_ / "broken.dlg") << "field X nothing\n";
    EXPECT_EQ(UF_STYLER_create_dialog("broken.dlg", table, 6, nullptr, &response), UF_err_io);
    EXPECT_NE(session().ui().last_status().find("broken.dlg:1: field X: kind 'nothing'"), std::string::npos)
        << session().ui().last_status();
    EXPECT_EQ(UF_STYLER_create_dialog("t.dlg", table, 6, nullptr, nullptr), UF_err_bad_argument);
    UF_terminate();
    EXPECT_EQ(UF_STYLER_create_dialog("t.dlg", table, 6, nullptr, &response), UF_err_not_initialized);
    EXPECT_EQ(response, 5);
    EXPECT_TRUE(calls.empty());
}

TEST_F(StylerTest, ButtonsWithoutCallbackCloseTheDialog) {
    UF_STYLER_callback_item_t none[] = {{UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, nullptr}};
    for (const auto& [input, expected] : {std::pair{"b\n", UF_UI_BACK}, std::pair{"o\n", UF_UI_OK}}) {
        std::istringstream in(input);
        run().interactive = true;
        run().form_in = &in;
        run().form_out = &shown_;
        int response = 0;
        ASSERT_EQ(UF_STYLER_create_dialog("t.dlg", none, 1, nullptr, &response), 0);
        EXPECT_EQ(response, expected) << input;
    }
}

}  // namespace
