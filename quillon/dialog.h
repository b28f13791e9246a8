/* The options dialog: its definition file, its callback table and the callbacks the host calls. */
#ifndef QUILLON_DIALOG_H
#define QUILLON_DIALOG_H

#include <cstddef>

#include "host/uf_styler.h"

/* The host looks for the file beside the command library and in the configuration directory. */
#define QUILLON_DIALOG_FILE "quillon_dlg.dlg"
/* Rows of the callback table, its terminating row included. */
#define QUILLON_DIALOG_ROWS 6

extern UF_STYLER_callback_item_t quillon_dialog_callbacks[QUILLON_DIALOG_ROWS];

/* Every callback answers UF_UI_CB_CONTINUE_DIALOG (keep the dialog open) or UF_UI_CB_EXIT_DIALOG (close it). */
int quillon_constructor_cb(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);
int quillon_destructor_cb(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);
/* Validates the entries; when they pass, prepares the model views, makes the drawing layer the work layer and stores
 * the run settings. */
int quillon_ok_cb(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);
int quillon_back_cb(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);
int quillon_cancel_cb(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);

/* The file name of a part's full path without its folder and extension; folders end at '\' or '/'. The stem is
 * cut at a character boundary to fit stem (size bytes). */
void part_file_stem(const char *part_spec, char *stem, size_t size);

/* A value record that names a field's value. */
void name_dialog_value(UF_STYLER_item_value_type_t *record, const char *item_id);

#endif
