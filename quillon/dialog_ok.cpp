// The OK callback of the options dialog: read, validate, prepare and store.
#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_layer.h"
#include "my_func/config_reader.h"
#include "my_func/model_views.h"
#include "quillon/dialog.h"
#include "quillon/run_settings.h"
#include "quillon/validation.h"

namespace {

// Asks an integer, toggle or radio field; a failed ask leaves the 0 the record starts with.
int ask_integer(int dialog_id, UF_STYLER_item_value_type_t *record, const char *item_id) {
    name_dialog_value(record, item_id);
    UF_STYLER_ask_value(dialog_id, record);
    return record->value.integer;
}

// Asks a text field into field (size bytes), cut at a character boundary, and releases the host's copy.
void ask_text(int dialog_id, UF_STYLER_item_value_type_t *record, const char *item_id, char *field, size_t size) {
    name_dialog_value(record, item_id);
    field[0] = '\0';
    if (UF_STYLER_ask_value(dialog_id, record) != 0) return;
    if (record->indicator == UF_STYLER_STRING_VALUE && record->value.string)
        copy_text_cut(field, size, record->value.string);
    UF_STYLER_free_value(record);
}

int read_and_store(int dialog_id) {
    run_settings *settings = &the_run_settings;
    UF_STYLER_item_value_type_t client1_data, data7, data8, data6, c_chamf_data, data1, data2, data3, sheet_data,
        use_wcs_data, manual_note_data, part_type_data, sheet_name_fs_data;
    char mold_no[RUN_TEXT_LEN + 1];
    char part_no[RUN_TEXT_LEN + 1];

    ask_text(dialog_id, &client1_data, "STR_0", settings->client, sizeof settings->client);
    ask_text(dialog_id, &data7, "STR_1", mold_no, sizeof mold_no);
    ask_text(dialog_id, &data8, "STR_2", part_no, sizeof part_no);
    const int check_elec_names = ask_integer(dialog_id, &data6, "TOGGLE_10");
    settings->c_chamf = ask_integer(dialog_id, &c_chamf_data, "TOGGLE_12");

    const int mr_layer = ask_integer(dialog_id, &data1, "INT_0");
    if (!check_mr_layer_range(mr_layer)) return UF_UI_CB_CONTINUE_DIALOG;
    const int elec_layer_from = ask_integer(dialog_id, &data2, "INT_1");
    if (!check_elec_from_range(elec_layer_from)) return UF_UI_CB_CONTINUE_DIALOG;
    const int elec_layer_to = ask_integer(dialog_id, &data3, "INT_2");
    if (!check_elec_to_range(elec_layer_to)) return UF_UI_CB_CONTINUE_DIALOG;
    if (!check_elec_range_order(elec_layer_from, elec_layer_to)) return UF_UI_CB_CONTINUE_DIALOG;
    if (!check_core_outside_elec_range(mr_layer, elec_layer_from, elec_layer_to)) return UF_UI_CB_CONTINUE_DIALOG;
    ask_integer(dialog_id, &sheet_data, "INT_4");
    if (!check_sheet_layer_range(sheet_data.value.integer)) return UF_UI_CB_CONTINUE_DIALOG;
    if (!check_sheet_layer_apart(sheet_data.value.integer, mr_layer, elec_layer_from, elec_layer_to))
        return UF_UI_CB_CONTINUE_DIALOG;

    const int use_wcs_origin = ask_integer(dialog_id, &use_wcs_data, "TOGGLE_11");
    settings->manual_note = ask_integer(dialog_id, &manual_note_data, "TOGGLE_14");
    settings->part_type = ask_integer(dialog_id, &part_type_data, "RADIO_17");
    name_dialog_value(&sheet_name_fs_data, "RADIO_9");
    // clang-format off
    UF_CALL(UF_STYLER_ask_value( dialog_id, &sheet_name_fs_data ));
    // clang-format on
    settings->sheet_name_fs = sheet_name_fs_data.value.integer;

    if (!check_core_layer(mr_layer)) return UF_UI_CB_CONTINUE_DIALOG;
    if (!check_elec_layers(elec_layer_from, elec_layer_to)) return UF_UI_CB_CONTINUE_DIALOG;
    if (check_elec_names == 1 && !check_unnamed_elecs(elec_layer_from, elec_layer_to)) return UF_UI_CB_CONTINUE_DIALOG;
    // Bodies the range leaves out are drawn on no sheet: a range forgotten in a batch run must not pass unnoticed.
    tell_layers_outside_range(mr_layer, sheet_data.value.integer, elec_layer_from, elec_layer_to);

    // Without the reversed views no sheet could show its iso view: the dialog closes and nothing runs.
    if (!prepare_model_views()) return UF_UI_CB_EXIT_DIALOG;
    // clang-format off
    UF_CALL(UF_LAYER_set_status( sheet_data.value.integer,UF_LAYER_WORK_LAYER ));
    // clang-format on

    settings->elec_layer_from = elec_layer_from;
    settings->elec_layer_to = elec_layer_to;
    settings->use_wcs_origin = use_wcs_origin;
    copy_text_cut(settings->mold_no, sizeof settings->mold_no, mold_no);
    copy_text_cut(settings->part_no, sizeof settings->part_no, part_no);
    settings->mr_layer = mr_layer;
    settings->show_electrode = 1;
    settings->stored = 1;
    return UF_UI_CB_EXIT_DIALOG;
}

}  // namespace

int quillon_ok_cb(int dialog_id, void *, UF_STYLER_callback_info_p_t) {
    if (UF_initialize() != 0) return UF_UI_CB_CONTINUE_DIALOG;
    const int answer = read_and_store(dialog_id);
    UF_terminate();
    return answer;
}
