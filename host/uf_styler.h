/* Dialogs described by a dialog-definition file and driven by callbacks.
 *
 * The host reads the dialog file (its format: cadhost/dialog/dialog_file.h), calls the constructor callback, shows
 * the form (in a terminal when one is attached; in a batch run the values come from the run's --set and answers file
 * and OK is pressed once), calls the callback of the button pressed, and closes the form when a callback answers
 * UF_UI_CB_EXIT_DIALOG; then it calls the destructor and returns the response. A batch run whose OK is refused has
 * nobody to correct the entries: the host presses Cancel (response UF_UI_CANCEL) and ends the run with status 1. */
#ifndef HOST_UF_STYLER_H
#define HOST_UF_STYLER_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Object identifiers of the callback table. */
#define UF_STYLER_DIALOG_INDEX "UF_STYLER_DIALOG_INDEX" /* the dialog itself */
#define UF_STYLER_NULL_OBJECT "UF_STYLER_NULL_OBJECT"   /* ends the table */

/* Callback reasons. */
#define UF_STYLER_NO_CB (-1)
#define UF_STYLER_OK_CB 4
#define UF_STYLER_BACK_CB 6
#define UF_STYLER_CANCEL_CB 7
#define UF_STYLER_CONSTRUCTOR_CB 8
#define UF_STYLER_DESTRUCTOR_CB 9

/* What a callback answers. */
#define UF_UI_CB_CONTINUE_DIALOG 0
#define UF_UI_CB_EXIT_DIALOG 1

/* Responses of UF_STYLER_create_dialog: which button closed the dialog. */
#define UF_UI_OK 2
#define UF_UI_BACK 3
#define UF_UI_CANCEL 4

/* Item attributes a value record can name. */
#define UF_STYLER_VALUE 2

/* Kinds of value a record carries (indicator). */
#define UF_STYLER_NO_VALUE 0
#define UF_STYLER_INTEGER_VALUE 1
#define UF_STYLER_REAL_VALUE 2
#define UF_STYLER_STRING_VALUE 3

typedef struct UF_STYLER_callback_info_s {
    const char *item_id;
    int reason;
    int sub_item_index;
} UF_STYLER_callback_info_t, *UF_STYLER_callback_info_p_t;

typedef int (*UF_STYLER_cb_t)(int dialog_id, void *client_data, UF_STYLER_callback_info_p_t callback_data);

typedef struct UF_STYLER_callback_item_s {
    const char *item_id;
    int reason;
    int sub_item_index;
    UF_STYLER_cb_t callback;
} UF_STYLER_callback_item_t;

/* A value record: names a field (item_id) and an attribute (item_attr, UF_STYLER_VALUE), and carries the value.
 * Integers, toggles and radio boxes travel as value.integer; texts as value.string, which UF_STYLER_ask_value allocates
 * and UF_STYLER_free_value releases. */
typedef struct UF_STYLER_item_value_type_s {
    const char *item_id;
    int item_attr;
    int indicator;
    int subitem_index;
    int count;
    union {
        int integer;
        double real;
        char *string;
    } value;
} UF_STYLER_item_value_type_t, *UF_STYLER_item_value_type_p_t;

/* Shows the dialog of dialog_file (found beside the command library, in the configuration directory, or as given) and
 * blocks until it is closed. callbacks holds count rows, the last of which is the UF_STYLER_NULL_OBJECT row. A file
 * that cannot be found or read gives UF_err_io, a dialog opened from a dialog's callback UF_err_not_supported;
 * *response is then left as it was. */
int UF_STYLER_create_dialog(const char *dialog_file, UF_STYLER_callback_item_t *callbacks, int count, void *client_data,
                            int *response);
/* While the dialog is open (from its callbacks). A field the dialog does not have, a toggle other than 0 or 1 and a
 * radio value that is none of its choices give UF_err_bad_argument and change nothing. The indicator must be the
 * field's kind as the dialog file declares it (UF_STYLER_STRING_VALUE for a text, UF_STYLER_REAL_VALUE for a real,
 * UF_STYLER_INTEGER_VALUE for the others): a record of another kind gives UF_err_bad_argument, closes the dialog as
 * cancelled and ends the run with the file and line of the field's declaration (exit status 2). */
int UF_STYLER_set_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
/* Fills indicator, count (1) and value; a text is a copy for UF_STYLER_free_value. */
int UF_STYLER_ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
/* Releases the text of an asked record and sets it to null; other records are left alone. */
int UF_STYLER_free_value(UF_STYLER_item_value_type_p_t value);

#ifdef __cplusplus
}
#endif

#endif
