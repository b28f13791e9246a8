/* The displayed part. */
#ifndef HOST_UF_PART_H
#define HOST_UF_PART_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The part shown in the host, or the null tag when none is. */
tag_t UF_PART_ask_display_part(void);
/* The part's full file path (UF_CFI_MAX_PATH_NAME_SIZE bytes); a longer one gives UF_err_buffer_too_small
 * and an empty text. */
int UF_PART_ask_part_name(tag_t part, char name[UF_CFI_MAX_PATH_NAME_SIZE]);

/* How UF_PART_import brings a part in. All modes 0 and flags FALSE: every object as it is. */
typedef struct UF_import_part_modes_s {
    int layer_mode;          /* 0 objects keep their layers */
    int group_mode;          /* 0 no group is made */
    int csys_mode;           /* 0 coordinate systems are not brought in */
    int plist_mode;          /* 0 */
    int view_mode;           /* 0 views are not brought in */
    logical cam_mode;        /* FALSE */
    logical use_search_dirs; /* FALSE: the file name is used as given */
} UF_import_part_modes_t;

/* Brings the curves, points and notes of another part file onto the current drawing: each of their model points
 * (x, y, z) lands at dest_point + scale * (x * X + y * Y), with X and Y the two directions of dest_csys (six values).
 * group receives the null tag (no group is made). A missing or unreadable file gives UF_err_io. */
int UF_PART_import(const char *part_name, UF_import_part_modes_t *modes, const double dest_csys[6],
                   const double dest_point[3], double scale, tag_t *group);

#ifdef __cplusplus
}
#endif

#endif
