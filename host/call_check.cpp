// The report behind UF_CALL: two lines in the listing window for every failed host call.
#include <string>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_ui.h"

extern "C" int report_error(const char* file, int line, const char* call, int irc) {
    if (irc == 0) return 0;
    // Built as a string: call texts run past any fixed line length.
    std::string first =
        std::string(file ? file : "") + ", line " + std::to_string(line) + ":  " + (call ? call : "") + "\n";
    UF_UI_open_listing_window();
    UF_UI_write_listing_window(first.c_str());
    char message[UF_MAX_FAIL_MESSAGE_SIZE] = "";
    std::string second = "    error " + std::to_string(irc);
    if (UF_get_fail_message(irc, message) == 0) second += std::string(":  ") + message;
    second += "\n";
    UF_UI_write_listing_window(second.c_str());
    return irc;
}
