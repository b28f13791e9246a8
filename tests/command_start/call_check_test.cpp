// The report of failed wrapped calls: exactly two listing lines, under the module that made the call.
#include "cadhost/session/session.h"
#include "host/uf_call.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "my_func/model_views.h"
#include "support/host_fixture.h"
#include "support/source_lines.h"

namespace {

class CallCheckTest : public testing_support::HostTest {
  protected:
    std::string listing() { return session().ui().listing(); }
};

TEST_F(CallCheckTest, SucceedingCallLeavesTheListingUntouchedAndYieldsItsStatus) {
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    int type = 0, subtype = 0;
    EXPECT_EQ(UF_CALL(UF_OBJ_ask_type_and_subtype(body, &type, &subtype)), 0);
    EXPECT_EQ(type, UF_solid_type);
    EXPECT_EQ(listing(), "");
}

TEST_F(CallCheckTest, FailingCallWritesTheCallAsWrittenAndTheHostMessage) {
    int type = 0, subtype = 0;
    // clang-format off
    const int line = __LINE__ + 1;
    int irc = UF_CALL(UF_OBJ_ask_type_and_subtype( 4242,&type,  &subtype ));
    // clang-format on
    EXPECT_EQ(irc, UF_err_bad_tag) << "the status is yielded unchanged";
    EXPECT_EQ(listing(), "test, line " + std::to_string(line) +
                             ":  UF_OBJ_ask_type_and_subtype( 4242,&type, &subtype )\n"
                             "    error 1003:  The tag does not name an object of the displayed part\n");
}

TEST_F(CallCheckTest, UnknownCodeGetsTheCodeAloneAndLongCallTextsAreWrittenWhole) {
    EXPECT_EQ(report_error("quillon", 7, "x", 77), 77);
    const std::string call(400, 'c');
    report_error("my_func1", 123456, call.c_str(), UF_err_no_name);
    EXPECT_EQ(listing(), "quillon, line 7:  x\n    error 77\nmy_func1, line 123456:  " + call +
                             "\n    error 1007:  The object has no name\n");
}

TEST_F(CallCheckTest, CommandReportsUnderTheSourceFileAndItsLine) {
    // With no part displayed, the view preparation's wrapped question about the application fails and is reported
    // with the file and line of the call; the routine then goes on to its own message.
    session().set_display_part(nullptr);
    EXPECT_EQ(prepare_model_views(), 0);
    const int line = testing_support::source_line("my_func/model_views.cpp", "UF_CALL(UF_ask_application_module(");
    ASSERT_GT(line, 0);
    EXPECT_EQ(listing(), "my_func/model_views.cpp, line " + std::to_string(line) +
                             ":  UF_ask_application_module(&modl_state)\n    error 1002:  No part is displayed\n");
    EXPECT_EQ(session().ui().messages(), std::vector<std::string>{"此功能必需在MODELING或在DRAFTING模块下运行!"});
}

}  // namespace
