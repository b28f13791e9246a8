// Messages, listing window and status line. These work without a displayed part: a command must be able to say that
// there is none.
#include "cadhost/api/boundary.h"
#include "host/uf_ui.h"

using cadhost::Session;
using cadhost::api::guarded;

extern "C" {

int uc1601(const char* message, int /*wait*/) {
    guarded([&] {
        Session::instance().ui().message(message ? message : "");
        return UF_ok;
    });
    return 1;
}

int UF_UI_open_listing_window(void) {
    return guarded([] {
        Session::instance().ui().open_listing();
        return UF_ok;
    });
}

int UF_UI_write_listing_window(const char* text) {
    if (!text) return UF_err_bad_argument;
    return guarded([&] {
        Session::instance().ui().write_listing(text);
        return UF_ok;
    });
}

int UF_UI_close_listing_window(void) {
    return guarded([] {
        Session::instance().ui().close_listing();
        return UF_ok;
    });
}

int UF_UI_set_status(const char* text) {
    if (!text) return UF_err_bad_argument;
    return guarded([&] {
        Session::instance().ui().status(text);
        return UF_ok;
    });
}

}  // extern "C"
