// Messages, the listing window and failure texts.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/uf_ui.h"
#include "support/host_fixture.h"

namespace {

class UiTest : public testing_support::HostTest {};

TEST_F(UiTest, EveryStatusTheHostReturnsHasAMessageThatFitsTheBuffer) {
    for (int code = UF_err_not_initialized; code <= UF_err_last; ++code) {
        char message[UF_MAX_FAIL_MESSAGE_SIZE];
        ASSERT_EQ(UF_get_fail_message(code, message), 0) << code;
        EXPECT_GT(std::strlen(message), 10u) << code;
    }
    char message[UF_MAX_FAIL_MESSAGE_SIZE] = "x";
    EXPECT_NE(UF_get_fail_message(424242, message), 0);
    EXPECT_STREQ(message, "");
}

TEST_F(UiTest, ListingAccumulatesInCallOrderInMemoryAndInTheFileBesideThePart) {
    auto dir = std::filesystem::temp_directory_path() / ("quillon_ui_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    session().ui().set_files((dir / "p.log").string(), (dir / "p.lst").string());
    std::ostringstream terminal;
    session().ui().set_terminal(&terminal);

    UF_UI_open_listing_window();
    UF_UI_write_listing_window("first line\n");
    UF_UI_open_listing_window();  // opening again keeps what is there
    UF_UI_write_listing_window("second line\n");
    EXPECT_EQ(uc1601("完成!", 1), 1);
    UF_UI_set_status("working");
    session().ui().close_listing();

    EXPECT_EQ(session().ui().listing(), "first line\nsecond line\n");
    std::ifstream listing(dir / "p.lst");
    std::stringstream text;
    text << listing.rdbuf();
    EXPECT_EQ(text.str(), "first line\nsecond line\n");
    std::ifstream log(dir / "p.log");
    std::stringstream log_text;
    log_text << log.rdbuf();
    EXPECT_NE(log_text.str().find("message: 完成!"), std::string::npos);
    EXPECT_NE(log_text.str().find("status: working"), std::string::npos);
    EXPECT_NE(terminal.str().find("完成!"), std::string::npos);
    ASSERT_EQ(session().ui().messages().size(), 1u);
    session().ui().set_terminal(nullptr);
    std::filesystem::remove_all(dir);
}

}  // namespace
