/* What the options dialog confirmed: all that the drawing run knows of the dialog. */
#ifndef QUILLON_RUN_SETTINGS_H
#define QUILLON_RUN_SETTINGS_H

/* Longest texts kept for the title block; longer entries are cut at a character boundary. */
#define RUN_TEXT_LEN 79
#define RUN_CLIENT_LEN 132

typedef struct run_settings_s {
    int mr_layer;
    int elec_layer_from;
    int elec_layer_to;
    int use_wcs_origin;
    int c_chamf;
    int manual_note;
    int part_type;
    int sheet_name_fs;
    int show_electrode;
    char mold_no[RUN_TEXT_LEN + 1];
    char part_no[RUN_TEXT_LEN + 1];
    char client[RUN_CLIENT_LEN + 1];
    int stored; /* set by the OK callback once every value above is in place */
} run_settings;

/* Empty at every load of the library. */
extern run_settings the_run_settings;

/* Empties the settings, as a fresh load does. */
void clear_run_settings(run_settings *settings);

#endif
