#include "quillon/run_driver.h"

#include "host/uf_types.h"
#include "host/uf_ui.h"
#include "my_func/edge_scans.h"
#include "quillon/center_lines.h"
#include "quillon/chamfer_label.h"
#include "quillon/collection.h"
#include "quillon/core_scan.h"
#include "quillon/core_ordinates.h"
#include "quillon/core_views.h"
#include "quillon/depth_zero_label.h"
#include "quillon/edm_points.h"
#include "quillon/elec_body_views.h"
#include "quillon/elec_number_note.h"
#include "quillon/elec_sheet.h"
#include "quillon/position_dims.h"
#include "quillon/sheet_setup_record.h"
#include "quillon/spark_gap_notes.h"

namespace {

/* What the run measures of the mould core once, for every sheet. */
struct core_measures {
    box_edge_set edge_rec_a; /* plane XY */
    box_edge_set edge_rec_b; /* plane XZ */
    box_edge_set edge_rec_c; /* plane YZ */
    double mr_min[3];
    double mr_max[3];
};

int measure_core_edges(int mr_layer, core_measures *core) {
    return scan_core_edges_xy(mr_layer, &core->edge_rec_a) && scan_core_edges_yz(mr_layer, &core->edge_rec_c) &&
           scan_core_edges_xz(mr_layer, &core->edge_rec_b);
}

/* The edge record of the plane a view of the direction shows: the top view's (top 1) or the front view's (top 0).
 * NULL after the message for a direction outside the six. */
const box_edge_set *edge_record_for(const core_measures *core, int elec_direction, int top) {
    switch (elec_direction) {
        case ELEC_DIR_T:
        case ELEC_DIR_NEG_T:
            return top ? &core->edge_rec_a : &core->edge_rec_b;
        case ELEC_DIR_F:
        case ELEC_DIR_NEG_F:
            return top ? &core->edge_rec_b : &core->edge_rec_a;
        case ELEC_DIR_S:
        case ELEC_DIR_NEG_S:
            return top ? &core->edge_rec_c : &core->edge_rec_a;
        default:
            uc1601("elec dir err", 1);
            return NULL;
    }
}

/* first_copy: the first body of the entry's layer, which the copy's turn is measured against. */
int draw_elec_sheet(const run_settings *settings, const elec_entry *entry, const elec_data *first_copy, char letter,
                    int *counter, const core_measures *core) {
    const elec_data *e = &entry->data;
    show_sheet_progress(entry);
    char sheet_name[SHEET_NAME_BUFSIZE];
    if (settings->sheet_name_fs == 1)
        next_group_sheet_name(letter, counter, sheet_name);
    else if (!elec_sheet_name(e->elec_tag, sheet_name))
        return 0;

    tag_t drawing = NULL_TAG;
    if (!create_elec_sheet(sheet_name, settings->mold_no, settings->part_no, &drawing, entry->sheet_count,
                           entry->sheet_no))
        return 0;
    tag_t edm_point_tag = NULL_TAG;
    if (!find_edm_point(&edm_point_tag, e, e->elec_layer)) return 0;
    tag_t top_view = NULL_TAG, front_view = NULL_TAG;
    double mr_view_min[3], mr_view_max[3];
    if (!import_mr_view(drawing, &top_view, &front_view, settings->mr_layer, settings->show_electrode, mr_view_min,
                        mr_view_max, MR_VIEW_LAYOUT, e, edm_point_tag, core->mr_min, core->mr_max))
        return 0;
    dim_side top_dim_side = {0, 0}, front_dim_side = {0, 0};
    if (!create_top_position_dims(top_view, mr_view_min, mr_view_max, e, edm_point_tag, &top_dim_side) ||
        !create_front_position_dims(front_view, mr_view_min, mr_view_max, e, edm_point_tag, &front_dim_side))
        return 0;
    const box_edge_set *top_record = edge_record_for(core, e->elec_direction, 1);
    if (top_record == NULL || !create_top_view_ordinates(top_view, mr_view_min, mr_view_max, top_record, core->mr_min,
                                                         core->mr_max, &top_dim_side, edm_point_tag, e->elec_direction))
        return 0;
    const box_edge_set *front_record = edge_record_for(core, e->elec_direction, 0);
    if (front_record == NULL ||
        !create_front_view_ordinates(front_view, mr_view_min, mr_view_max, front_record, core->mr_min, core->mr_max,
                                     &front_dim_side, edm_point_tag, e->elec_direction))
        return 0;
    // What the machinist reads: a failed note or label costs that text only, not the sheet.
    if (settings->c_chamf) write_chamfer_label(top_view, mr_view_min, mr_view_max, e);
    write_elec_number_note(e->elec_tag, e->elec_layer_index, e->elec_layer_count);
    // The electrode's own views and sizes, once per layer: its copies on the same layer look the same.
    if (e->elec_layer_index == 1 && !MY_create_elec_body_view_and_ord(e->elec_tag, e)) return 0;
    write_spark_gap_notes(e->elec_tag);
    if (settings->manual_note) write_depth_zero_label(top_view, settings->mr_layer);
    // The complete sheet's setup, for the lists the host writes beside the sheets.
    record_sheet_setup(drawing, entry, edm_point_tag, top_view, first_copy, core->mr_min, core->mr_max);
    return 1;
}

}  // namespace

int number_sheets(elec_entry *list, int per_sheet) {
    if (per_sheet < 1) per_sheet = 1;  // no sheet holds fewer than one record
    int position = 0, last = 0;
    for (elec_entry *entry = list; entry != NULL; entry = entry->next) {
        entry->sheet_no = position / per_sheet + 1;
        last = entry->sheet_no;
        ++position;
    }
    for (elec_entry *entry = list; entry != NULL; entry = entry->next) entry->sheet_count = last;
    return 1;
}

int run_elec_drawings(const run_settings *settings) {
    // Every run starts from config.def and the core as they are now, even when the library stays loaded.
    reset_elec_sheet_positions();
    reset_mr_layout_settings();
    reset_core_ordinate_switches();
    reset_elec_number_note_positions();
    reset_spark_gap_note_positions();
    reset_elec_view_settings();
    reset_depth_zero_label();

    elec_entry *head = NULL;
    if (!collect_electrodes(settings->elec_layer_from, settings->elec_layer_to, &head)) return 0;
    number_sheets(head, 1);

    int done = 0;
    core_measures core = {};
    char letter = 'A';
    int counter = 0;
    if (measure_core_edges(settings->mr_layer, &core)) {
        reset_core_center_lines();
        if (choose_group_letter(&letter) && scan_core_layer(settings->mr_layer, core.mr_min, core.mr_max)) {
            done = 1;
            const elec_data *first_copy = NULL;
            for (const elec_entry *entry = head; entry != NULL && done; entry = entry->next) {
                if (first_copy == NULL || first_copy->elec_layer != entry->data.elec_layer) first_copy = &entry->data;
                done = draw_elec_sheet(settings, entry, first_copy, letter, &counter, &core);
            }
        }
    }
    free_elec_list(head);
    return done;
}
