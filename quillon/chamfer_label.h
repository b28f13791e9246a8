/* The label that marks an electrode's chamfered orientation corner in the mould-core top view. */
#ifndef QUILLON_CHAMFER_LABEL_H
#define QUILLON_CHAMFER_LABEL_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Where the label's text goes for a corner (1 upper right, 2 upper left, 3 lower left, 4 lower right, as seen on the
 * sheet) of the electrode box emin / emax inside the view box vmin / vmax, all sheet millimetres: outside the
 * electrode on each side where more than 7 mm of the view are left, else inside it; with room on neither side, above
 * or below the view box. The leader point is the corner. 1 and both points, or 0 for another corner code. */
int chamfer_label_points(int corner, const double vmin[2], const double vmax[2], const double emin[2],
                         const double emax[2], double text_point[3], double leader_point[3]);

/* Writes "c角" with a leader to the record's chamfer corner in top_view, mr_view_min / mr_view_max being the model
 * box the view shows. Writes nothing and changes nothing for a record without a chamfer corner. The preferences are as
 * before afterwards. 1 when the label was written, 0 when there was none to write. */
int write_chamfer_label(tag_t top_view, const double mr_view_min[3], const double mr_view_max[3], const elec_data *e);

#endif
