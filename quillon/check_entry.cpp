// The command's check of a part: what a batch run does before it draws, by the run's own code, going on past every
// step that would stop a run, each failure reported with its message and what was measured. The dialog is the run's
// own, filled as the host fills it for a batch run, and its OK decides which layers are looked at. The host calls it
// on a part it never saves: the EDM point objects the analysis makes, the views the OK prepares and a core it
// unblanks are thrown away with it.
#include <stdio.h>
#include <string.h>

#include "host/command_check.h"
#include "host/uf.h"
#include "host/uf_attr.h"
#include "host/uf_obj.h"
#include "host/uf_styler.h"
#include "host/uf_ui.h"
#include "my_func/check_notes.h"
#include "my_func/edge_scans.h"
#include "my_func/extents.h"
#include "my_func/numeric_text.h"
#include "my_func/single_side.h"
#include "my_func1/body_analysis.h"
#include "my_func1/elec_attr_texts.h"
#include "my_func1/elec_defaults.h"
#include "quillon/collection.h"
#include "quillon/core_scan.h"
#include "quillon/diagonal_corners.h"
#include "quillon/dialog.h"
#include "quillon/edm_points.h"
#include "quillon/run_driver.h"
#include "quillon/run_settings.h"

namespace {

const char *const no_memory_message = "无法分配内存,这可能是您的计算机内存不够的原因,程式将无法执行!";

struct check_run {
    const command_check_sink *sink;
    int problems;
    int body_problems;

    void begin(int what, int layer, tag_t body) {
        body_problems = 0;
        if (sink->begin != NULL) sink->begin(sink->context, what, layer, body);
    }
    /* One step as a run takes it: its result, and the problem told when it failed. */
    bool step(int passed) {
        if (passed) return true;
        ++problems;
        ++body_problems;
        if (sink->problem != NULL) sink->problem(sink->context, check_note_text());
        return false;
    }
};

/* The core as a run measures it once the electrodes are collected: its edges, then (a step of the sheets) the
 * letter of the sheet group, then its box. A run goes no further than failed edges, nor does the check: the box scan
 * would only tell the same core again. */
void check_core(check_run &run, int core_layer) {
    run.begin(CHECK_CORE, core_layer, NULL_TAG);
    box_edge_set edges;
    clear_check_note();
    if (!run.step(scan_core_edges_xy(core_layer, &edges) && scan_core_edges_yz(core_layer, &edges) &&
                  scan_core_edges_xz(core_layer, &edges)))
        return;
    run.begin(CHECK_SHEETS, 0, NULL_TAG);
    char letter = 'A';
    clear_check_note();
    run.step(choose_group_letter(&letter));
    run.begin(CHECK_CORE, core_layer, NULL_TAG);
    double mr_min[3] = {0, 0, 0}, mr_max[3] = {0, 0, 0};
    clear_check_note();
    run.step(scan_core_layer(core_layer, mr_min, mr_max));
}

/* A sheet named after its electrode needs the electrode's name; a run meets this only when it draws that sheet. */
void check_sheet_names(check_run &run, const run_settings &settings) {
    if (settings.sheet_name_fs == 1) return;
    for (int layer = settings.elec_layer_from; layer <= settings.elec_layer_to; ++layer) {
        tag_array bodies;
        if (!layer_bodies(layer, bodies)) continue;  // told when the layer was looked at
        for (int i = 0; i < bodies.count; ++i) {
            char name[UF_OBJ_NAME_BUFSIZE] = "";
            if (UF_OBJ_ask_name(bodies.items[i], name) == 0) continue;
            run.begin(CHECK_BODY, layer, bodies.items[i]);
            check_note(
                "layer %d: a body without a name gets no sheet when sheets are named after their electrodes (field "
                "RADIO_9 0): name the body, or name the sheets by group",
                layer);
            char sheet_name[SHEET_NAME_BUFSIZE];
            run.step(elec_sheet_name(bodies.items[i], sheet_name));
        }
    }
}

/* The dialog as a run shows it, with the values the host gives a batch run. 1 when its OK stored the settings. */
bool check_dialog(check_run &run) {
    run.begin(CHECK_DIALOG, 0, NULL_TAG);
    the_run_settings.stored = 0;
    clear_check_note();
    int response = 0;
    const int status =
        UF_STYLER_create_dialog(QUILLON_DIALOG_FILE, quillon_dialog_callbacks, QUILLON_DIALOG_ROWS, NULL, &response);
    if (status == 0 && response == UF_UI_OK && the_run_settings.stored) {
        if (run.sink->confirmed != NULL) {
            const command_check_settings settings = {the_run_settings.mr_layer, the_run_settings.elec_layer_from,
                                                     the_run_settings.elec_layer_to};
            run.sink->confirmed(run.sink->context, &settings);
        }
        return true;
    }
    // A refused OK, a dialog the host could not show (the host tells why) and model views the OK could not prepare
    // all stop a run before it draws.
    run.step(0);
    return false;
}

void copy_text(char *out, size_t size, const char *text) { snprintf(out, size, "%s", text); }

/* What the sheet would write of the body's gaps and counts, and whether the configuration's defaults stand in. */
void fill_attributes(tag_t body, command_check_body *report) {
    elec_attr_texts texts;
    read_elec_attr_texts(body, &texts);
    int carried = 0;
    for (int slot = 0; slot < ELEC_ATTR_SLOTS && slot < CHECK_ATTR_SLOTS; ++slot) {
        copy_text(report->attribute_titles[slot], CHECK_VALUE_BUFSIZE, elec_attr_title(slot, NULL));
        copy_text(report->attributes[slot], CHECK_VALUE_BUFSIZE, texts.text[slot]);
        if (texts.text[slot][0] != '\0') carried = 1;
    }
    report->defaults_stand_in = !carried;
    copy_text(report->defaults[0], CHECK_VALUE_BUFSIZE, the_elec_defaults.elec_rough_space);
    copy_text(report->defaults[1], CHECK_VALUE_BUFSIZE, the_elec_defaults.elec_finish_space);
    copy_text(report->defaults[2], CHECK_VALUE_BUFSIZE, the_elec_defaults.elec_rough_number);
    copy_text(report->defaults[3], CHECK_VALUE_BUFSIZE, the_elec_defaults.elec_finish_number);
}

/* The first body of a layer with its depth face measured: the layer's copies turn their diagonal lines with theirs. */
struct first_copy {
    char name[UF_OBJ_NAME_BUFSIZE];
    double lo[3], hi[3];
    bool found;
};

/* The depth face's box, measured as the diagonal search measures it, and the corners a diagonal line joins. */
void fill_depth_corners(const elec_data *data, const char *name, first_copy *first, command_check_body *report) {
    double lo[3], hi[3];
    if (data->elec_depth_face == NULL_TAG || !MY_face_box_edge(data->elec_depth_face, lo, hi)) return;
    round_point(lo);
    round_point(hi);
    int turned = 0;
    if (!first->found) {
        copy_text(first->name, sizeof first->name, name);
        for (int k = 0; k < 3; ++k) first->lo[k] = lo[k], first->hi[k] = hi[k];
        first->found = true;
    } else if (strcmp(first->name, name) == 0) {
        turned = quarter_turned_box(data->elec_direction, lo, hi, first->lo, first->hi);
    }
    diagonal_corners(data->elec_direction, lo, hi, turned, report->depth_corners[0], report->depth_corners[1]);
    report->have_depth_corners = 1;
}

void fill_analysis(const elec_data *data, command_check_body *report) {
    report->direction = data->elec_direction;
    report->without_base = data->not_have_base ? 1 : 0;
    report->base_found = data->elec_top_face != NULL_TAG && data->elec_depth_face != NULL_TAG;
    report->diagonal_found = data->ling_tag != NULL_TAG;
    report->chamfer_corner = data->chamfer_corner;
    report->have_touch_point = data->have_att_side_pt ? 1 : 0;
    for (int k = 0; k < 3; ++k) {
        report->reference[k] = data->elec_point[k];
        report->touch_point[k] = data->att_side_pt[k];
        report->box_min[k] = data->elec_box_min[k];
        report->box_max[k] = data->elec_box_max[k];
    }
}

/* The layer's bodies in the collection's order, each through the steps a run takes with it. */
void check_layer(check_run &run, int layer) {
    tag_array bodies;
    if (!layer_bodies(layer, bodies)) {
        run.begin(CHECK_BODY, layer, NULL_TAG);
        uc1601(no_memory_message, 1);
        clear_check_note();
        run.step(0);
        return;
    }
    char previous_name[UF_OBJ_NAME_BUFSIZE] = "";
    double previous_size[3] = {0, 0, 0};
    bool previous_analysed = false;
    first_copy first = {"", {0, 0, 0}, {0, 0, 0}, false};
    for (int i = 0; i < bodies.count; ++i) {
        const tag_t body = bodies.items[i];
        run.begin(CHECK_BODY, layer, body);
        command_check_body report;
        memset(&report, 0, sizeof report);
        report.body = body;
        report.layer = layer;
        report.index_on_layer = i + 1;
        report.count_on_layer = bodies.count;
        char name[UF_OBJ_NAME_BUFSIZE] = "";
        if (UF_OBJ_ask_name(body, name) != 0) name[0] = '\0';
        copy_text(report.name, sizeof report.name, name);

        elec_data data;
        clear_check_note();
        const bool analysed = run.step(analyse_elec_body(body, &data, layer, bodies.count, i + 1));
        report.analysed = analysed ? 1 : 0;
        fill_analysis(&data, &report);
        fill_depth_corners(&data, name, &first, &report);
        if (analysed) {
            clear_check_note();
            if (run.step(create_edm_point(&data, layer)) && data.have_att_side_pt) {
                clear_check_note();
                report.touch_circle_found = run.step(check_single_side_touch(body)) ? 1 : 0;
            }
        }
        double size[3] = {0, 0, 0};
        if (analysed) outline_size(&data, size);
        // A run meets the name first and, once the copies share it, their outlines.
        if (i > 0) {
            clear_check_note();
            run.step(check_copy_name(layer, name, previous_name));
            clear_check_note();
            if (analysed && previous_analysed) run.step(check_copy_outline(layer, size, previous_size));
        }
        copy_text(previous_name, sizeof previous_name, name);
        for (int k = 0; k < 3; ++k) previous_size[k] = size[k];
        previous_analysed = analysed;

        fill_attributes(body, &report);
        report.problems = run.body_problems;
        if (run.sink->body != NULL) run.sink->body(run.sink->context, &report);
    }
}

/* The titles the command reads from an electrode body: the gaps and counts, the note, the single-side touch point. */
command_attribute_title attribute_titles[ELEC_ATTR_SLOTS + 4];
int attribute_title_count = 0;

}  // namespace

extern "C" int ufusr_attribute_titles(const command_attribute_title **titles) {
    if (attribute_title_count == 0) {
        for (int slot = 0; slot < ELEC_ATTR_SLOTS; ++slot) {
            command_attribute_title &entry = attribute_titles[attribute_title_count++];
            entry.title = elec_attr_title(slot, &entry.type);
        }
        attribute_titles[attribute_title_count++] = {"ELEC_NOTE", UF_ATTR_string};
        attribute_titles[attribute_title_count++] = {"s_x", UF_ATTR_real};
        attribute_titles[attribute_title_count++] = {"s_y", UF_ATTR_real};
        attribute_titles[attribute_title_count++] = {"s_z", UF_ATTR_real};
    }
    if (titles != NULL) *titles = attribute_titles;
    return attribute_title_count;
}

extern "C" int ufusr_check(const command_check_sink *sink) {
    if (sink == NULL || UF_initialize() != 0) return -1;
    check_run run = {sink, 0, 0};
    // The defaults are what a body without gaps and counts of its own shows; without them no run starts.
    run.begin(CHECK_CONFIGURATION, 0, NULL_TAG);
    clear_check_note();
    run.step(read_elec_defaults(&the_elec_defaults));
    // The OK decides what a run looks at; after a refusal a run looks at nothing.
    if (check_dialog(run)) {
        const run_settings settings = the_run_settings;
        for (int layer = settings.elec_layer_from; layer <= settings.elec_layer_to; ++layer) check_layer(run, layer);
        check_core(run, settings.mr_layer);
        check_sheet_names(run, settings);
    }
    UF_terminate();
    return run.problems;
}
