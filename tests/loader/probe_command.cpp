// A small command library for the loader tests: it marks undo, makes a point, and reports through the listing window.
// Built twice: once asking to be unloaded at once, once asking to stay loaded.
#include <cstdio>
#include <cstring>

#include "host/uf.h"
#include "host/uf_curve.h"
#include "host/uf_exit.h"
#include "host/uf_ui.h"

namespace {
int runs_since_load = 0;  // module-level state: starts afresh each time the library is loaded
}

extern "C" void ufusr(char* param, int* retcode, int param_len) {
    if (UF_initialize() != 0) return;
    // The parameter "stop" plays a command that stopped with one of its messages.
    if (param_len == 4 && std::strncmp(param, "stop", 4) == 0) *retcode = 7;
    UF_UNDO_mark_id_t mark = 0;
    UF_UNDO_set_mark(UF_UNDO_visible, nullptr, &mark);
    const double at[3] = {1.5, 2.5, 3.5};
    tag_t point = NULL_TAG;
    UF_CURVE_create_point(at, &point);
    char line[128];
    std::snprintf(line, sizeof line, "probe run %d param '%.*s'\n", ++runs_since_load, param_len, param);
    UF_UI_open_listing_window();
    UF_UI_write_listing_window(line);
    UF_terminate();
}

extern "C" int ufusr_ask_unload(void) { return PROBE_UNLOAD_ANSWER; }

extern "C" void ufusr_cleanup(void) { UF_UI_write_listing_window("probe cleanup\n"); }
