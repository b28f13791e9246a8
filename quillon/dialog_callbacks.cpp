// The callback table of the options dialog, its constructor and the callbacks that only close it.
#include <cstring>

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_part.h"
#include "my_func/config_reader.h"
#include "quillon/dialog.h"

UF_STYLER_callback_item_t quillon_dialog_callbacks[QUILLON_DIALOG_ROWS] = {
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_CB, 0, quillon_constructor_cb},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_CB, 0, quillon_destructor_cb},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_CB, 0, quillon_ok_cb},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_BACK_CB, 0, quillon_back_cb},
    {UF_STYLER_DIALOG_INDEX, UF_STYLER_CANCEL_CB, 0, quillon_cancel_cb},
    {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_CB, 0, 0},
};

void name_dialog_value(UF_STYLER_item_value_type_t *record, const char *item_id) {
    std::memset(record, 0, sizeof *record);
    record->item_id = item_id;
    record->item_attr = UF_STYLER_VALUE;
}

void part_file_stem(const char *part_spec, char *stem, size_t size) {
    const char *name = part_spec;
    for (const char *p = part_spec; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    const char *dot = std::strrchr(name, '.');
    size_t length = dot ? static_cast<size_t>(dot - name) : std::strlen(name);
    char whole[UF_CFI_MAX_PATH_NAME_SIZE];
    if (length >= sizeof whole) length = sizeof whole - 1;
    std::memcpy(whole, name, length);
    whole[length] = '\0';
    copy_text_cut(stem, size, whole);
}

namespace {

void set_integer(int dialog_id, UF_STYLER_item_value_type_t *record, const char *item_id, int value) {
    name_dialog_value(record, item_id);
    record->indicator = UF_STYLER_INTEGER_VALUE;
    record->value.integer = value;
    UF_STYLER_set_value(dialog_id, record);
}

void set_text(int dialog_id, UF_STYLER_item_value_type_t *record, const char *item_id, char *text) {
    name_dialog_value(record, item_id);
    record->indicator = UF_STYLER_STRING_VALUE;
    record->value.string = text;
    UF_STYLER_set_value(dialog_id, record);
}

}  // namespace

int quillon_constructor_cb(int dialog_id, void *, UF_STYLER_callback_info_p_t) {
    if (UF_initialize() != 0) return UF_UI_CB_CONTINUE_DIALOG;
    char part_name[UF_CFI_MAX_PATH_NAME_SIZE] = "";
    UF_PART_ask_part_name(UF_PART_ask_display_part(), part_name);
    char part_stem[UF_CFI_MAX_PATH_NAME_SIZE] = "";
    part_file_stem(part_name, part_stem, sizeof part_stem);
    char no_text[1] = "";

    UF_STYLER_item_value_type_t data1, data2, data3, sheet_data, data6, c_chamf_data, data7, data8, manual_note_data,
        sheet_name_fs_data;
    set_integer(dialog_id, &data1, "INT_0", 240);
    set_integer(dialog_id, &data2, "INT_1", 1);
    set_integer(dialog_id, &data3, "INT_2", 1);
    set_integer(dialog_id, &sheet_data, "INT_4", 254);
    set_integer(dialog_id, &data6, "TOGGLE_10", 1);
    set_integer(dialog_id, &c_chamf_data, "TOGGLE_12", 1);
    set_text(dialog_id, &data7, "STR_1", no_text);
    set_text(dialog_id, &data8, "STR_2", part_stem);
    set_integer(dialog_id, &manual_note_data, "TOGGLE_14", 0);
    name_dialog_value(&sheet_name_fs_data, "RADIO_9");
    sheet_name_fs_data.indicator = UF_STYLER_INTEGER_VALUE;
    sheet_name_fs_data.value.integer = 0;
    // clang-format off
    UF_CALL(UF_STYLER_set_value( dialog_id, &sheet_name_fs_data ));
    // clang-format on
    UF_terminate();
    return UF_UI_CB_CONTINUE_DIALOG;
}

int quillon_destructor_cb(int, void *, UF_STYLER_callback_info_p_t) {
    if (UF_initialize() != 0) return UF_UI_CB_CONTINUE_DIALOG;
    UF_terminate();
    return UF_UI_CB_CONTINUE_DIALOG;
}

int quillon_back_cb(int, void *, UF_STYLER_callback_info_p_t) {
    if (UF_initialize() != 0) return UF_UI_CB_CONTINUE_DIALOG;
    UF_terminate();
    return UF_UI_CB_EXIT_DIALOG;
}

int quillon_cancel_cb(int, void *, UF_STYLER_callback_info_p_t) {
    if (UF_initialize() != 0) return UF_UI_CB_CONTINUE_DIALOG;
    UF_terminate();
    return UF_UI_CB_EXIT_DIALOG;
}
