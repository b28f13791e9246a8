// The command's entry points: one call of ufusr is one run, and the library is unloaded after it.
#include <cstdio>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "host/uf_exit.h"
#include "host/uf_part.h"
#include "host/uf_styler.h"
#include "host/uf_ui.h"
#include "my_func1/elec_defaults.h"
#include "quillon/dialog.h"
#include "quillon/run_driver.h"
#include "quillon/run_settings.h"
#include "quillon/drf_preferences.h"

namespace {

UF_UNDO_mark_id_t mark_id;
drf_preferences saved_preferences;
drf_preferences working_preferences;

void ask_preferences(drf_preferences *p) { UF_DRF_ask_preferences(p->mpi, p->mpr, p->radius_val, p->diameter_val); }
void set_preferences(const drf_preferences *p) {
    UF_DRF_set_preferences(p->mpi, p->mpr, p->radius_val, p->diameter_val);
}

// Dimension text placed by hand, two decimals in millimetres with trailing zeros, 3.175 mm text centred on its
// origin: what every annotation of the run is made with.
void switch_to_working_preferences(void) {
    ask_preferences(&saved_preferences);
    ask_preferences(&working_preferences);
    working_preferences.mpi[3] = 2;
    working_preferences.mpi[9] = 2;
    working_preferences.mpi[13] = 1;
    working_preferences.mpi[16] = 1;
    working_preferences.mpi[30] = 5;
    working_preferences.mpi[90] = 1;
    working_preferences.mpr[32] = 3.175;
    working_preferences.mpr[33] = 1.0;
    working_preferences.mpr[34] = 1.0;
    working_preferences.mpr[44] = 3.175;
    set_preferences(&working_preferences);
}

// The user keeps manual text placement and the main unit alone after the command; the rest is put back.
void restore_preferences(void) {
    saved_preferences.mpi[3] = 2;
    saved_preferences.mpi[16] = 1;
    set_preferences(&saved_preferences);
}

void show_options_dialog(int *response) {
    int status =
        UF_STYLER_create_dialog(QUILLON_DIALOG_FILE, quillon_dialog_callbacks, QUILLON_DIALOG_ROWS, NULL, response);
    if (status == 0) return;
    char message[UF_MAX_FAIL_MESSAGE_SIZE] = "";
    UF_get_fail_message(status, message);
    UF_UI_set_status(message);
    std::printf("%s\n", message);
    std::fflush(stdout);
}

// Shows the dialog and runs the drawings when it was confirmed. 0 when the command stopped with one of its messages:
// a dialog that could not be shown, views that could not be prepared, a drawing run that stopped.
int confirm_and_run(void) {
    int response = 0;
    show_options_dialog(&response);
    if (response != UF_UI_OK) return response != 0;  // Back or Cancel: nothing to run, nothing failed
    if (!the_run_settings.stored) return 0;
    const int done = run_elec_drawings(&the_run_settings);
    // The run's progress is over; the driver has told the user why it stopped, and the closing message comes either
    // way.
    UF_UI_set_status("");
    uc1601("完成!", 1);
    return done;
}

// The return-code cell tells the host that the command stopped with one of its messages.
void tell_stopped(int *retcode) {
    if (retcode != NULL) *retcode = 1;
}

}  // namespace

extern "C" void ufusr(char *, int *retcode, int) {
    if (UF_initialize() != 0) return;
    // A library kept loaded by its host must not run on the settings of the dialog before.
    the_run_settings.stored = 0;
    if (UF_PART_ask_display_part() == NULL_TAG) {
        uc1601("目前没有零件打开,请打开零件后再用此功能!", 1);
        tell_stopped(retcode);
        UF_terminate();
        return;
    }
    UF_CALL(UF_UNDO_set_mark(UF_UNDO_visible, NULL, &mark_id));
    switch_to_working_preferences();
    if (!read_elec_defaults(&the_elec_defaults) || !confirm_and_run()) tell_stopped(retcode);
    restore_preferences();
    UF_terminate();
}

extern "C" int ufusr_ask_unload(void) { return UF_UNLOAD_IMMEDIATELY; }

extern "C" void ufusr_cleanup(void) {}
