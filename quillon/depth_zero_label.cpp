#include "quillon/depth_zero_label.h"

#include <cstring>

#include "host/uf_call.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_layer.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "host/uf_view.h"
#include "my_func/numeric_text.h"
#include "quillon/drf_preferences.h"

namespace {

const char *const kDefaultText = "Z深度0位面";
const char *const kEditPrompt = "请修改注释或用默认的注释.";
const char *const kPointPrompt = "请选择标注点.";
const char *const kSitePrompt = "请选择标注放置点.";
const char *const kConfirmQuestion =
    "后面图纸的注释都是以这样的位置标'z深度0位面'了,\n可以吗? 如果你觉得位置不好可以选择 NO 再重新选位置.";
const char *const kCancelQuestion = "真的需要取消'z深度0位面'的注释吗?";

/* What the user chose, kept from sheet to sheet of one run. */
struct depth_zero_choice {
    char text[UF_UI_MAX_STRING_LEN + 1];
    int ask;                   /* the label is yet to be placed */
    int cancelled;             /* the user gave the label up for this run */
    double note_point[3];      /* the labelled point, model coordinates */
    double note_site_point[3]; /* the text's place, sheet coordinates */
};

/* As a fresh load of the library has it. */
depth_zero_choice choice = {"Z深度0位面", 1, 0, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};

void ask_preferences(drf_preferences *p) {
    UF_CALL(UF_DRF_ask_preferences(p->mpi, p->mpr, p->radius_val, p->diameter_val));
}
void set_preferences(const drf_preferences *p) {
    UF_CALL(UF_DRF_set_preferences(p->mpi, p->mpr, p->radius_val, p->diameter_val));
}

/* Puts the label on the current sheet: text at the chosen place, leader to the chosen point in the top view, on the
 * side of the text that faces the point. The label's tag, or the null tag when the host made none. */
tag_t place_label(tag_t mr_top_view_tag, drf_preferences *working) {
    char label[UF_UI_MAX_STRING_LEN + 1];
    std::strcpy(label, choice.text);
    double temp_note_point[3] = {0.0, 0.0, 0.0};
    UF_CALL(UF_VIEW_map_model_to_drawing(mr_top_view_tag, choice.note_point, temp_note_point));
    working->mpi[1] = round_decimals(temp_note_point[0], 2) <= round_decimals(choice.note_site_point[0], 2) ? 1 : 2;
    set_preferences(working);
    tag_t label_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_label(1, label, choice.note_site_point, UF_DRF_leader_attach_screen, NULL, temp_note_point,
                                &label_tag));
    return label_tag;
}

/* YES (1) or NO (3). A question the host cannot show counts as YES, so that the loop that asks it always ends. */
int ask_yes_no(const char *question) {
    UF_UI_message_buttons_t buttons;
    std::memset(&buttons, 0, sizeof buttons);
    buttons.button1 = TRUE;
    buttons.label1 = "YES";
    buttons.response1 = 1;
    buttons.button2 = FALSE;
    buttons.label2 = "BACK";
    buttons.response2 = 2;
    buttons.button3 = TRUE;
    buttons.label3 = "NO";
    buttons.response3 = 3;
    const char *messages[1] = {question};
    int response = 0;
    if (UF_CALL(UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, messages, 1, &buttons, &response)) != 0) return 1;
    return response;
}

/* The text, then the point on the model, then the place on the sheet: 1 when all three were given. */
int ask_placement(tag_t current_draw) {
    int length = 0;
    int mode[2] = {1, 0};
    const int edited = uc1600(kEditPrompt, choice.text, &length);
    if (edited == UF_UI_PROMPT_BACK || edited == UF_UI_PROMPT_CANCEL) return 0;
    UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
    if (uc1616(kPointPrompt, mode, 0, choice.note_point) != UF_UI_PROMPT_ENTERED) return 0;
    UF_CALL(UF_DRAW_open_drawing(current_draw));
    return uc1616(kSitePrompt, mode, 0, choice.note_site_point) == UF_UI_PROMPT_ENTERED;
}

/* Asks until the user confirms a placed label or confirms giving it up. */
void choose_on_this_sheet(tag_t mr_top_view_tag, int mr_layer, drf_preferences *working) {
    UF_CALL(UF_LAYER_set_all_but_work(UF_LAYER_INACTIVE_LAYER));
    UF_CALL(UF_LAYER_set_status(mr_layer, UF_LAYER_ACTIVE_LAYER));
    tag_t current_draw = NULL_TAG;
    UF_CALL(UF_DRAW_ask_current_drawing(&current_draw));
    for (;;) {
        choice.ask = 1;
        choice.cancelled = 0;
        if (ask_placement(current_draw)) {
            choice.ask = 0;
            choice.cancelled = 0;
            const tag_t label_tag = place_label(mr_top_view_tag, working);
            if (ask_yes_no(kConfirmQuestion) == 1) return;
            // A failed creation has nothing to delete.
            if (label_tag != NULL_TAG) UF_CALL(UF_OBJ_delete_object(label_tag));
        } else if (ask_yes_no(kCancelQuestion) == 1) {
            choice.cancelled = 1;
            return;
        }
    }
}

}  // namespace

void reset_depth_zero_label(void) {
    std::memset(&choice, 0, sizeof choice);
    std::strcpy(choice.text, kDefaultText);
    choice.ask = 1;
}

int write_depth_zero_label(tag_t mr_top_view_tag, int mr_layer) {
    drf_preferences saved, working;
    ask_preferences(&saved);
    ask_preferences(&working);
    working.mpi[3] = 2;
    working.mpi[9] = 2;
    working.mpi[30] = 5;
    working.mpi[90] = 1;
    working.mpr[32] = 3.175;
    working.mpr[33] = 1.0;
    working.mpr[34] = 1.0;
    working.mpr[44] = 4.0;
    set_preferences(&working);

    if (!choice.cancelled) {
        if (!choice.ask)
            place_label(mr_top_view_tag, &working);
        else
            choose_on_this_sheet(mr_top_view_tag, mr_layer, &working);
    }
    set_preferences(&saved);
    return 1;
}
