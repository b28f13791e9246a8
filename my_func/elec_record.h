/* The electrode record: what the drawing run knows about one electrode body, and the list entry that carries it. */
#ifndef MY_FUNC_ELEC_RECORD_H
#define MY_FUNC_ELEC_RECORD_H

#include <stddef.h>

#include "host/uf_types.h"

/* Sides of the electrode body's box on which the base (or, without base, the diagonal line) lies. */
#define ELEC_DIR_T 1      /* maximum z */
#define ELEC_DIR_NEG_T -1 /* minimum z */
#define ELEC_DIR_F 2      /* minimum y */
#define ELEC_DIR_NEG_F -2 /* maximum y */
#define ELEC_DIR_S 3      /* maximum x */
#define ELEC_DIR_NEG_S -3 /* minimum x */

#define ELEC_NAME_BUFSIZE UF_OBJ_NAME_BUFSIZE

struct elec_data {
    tag_t elec_tag;         /* the electrode solid body */
    tag_t ling_tag;         /* its diagonal line */
    int elec_direction;     /* ELEC_DIR_*, 0 while undetermined */
    double elec_point[3];   /* EDM reference point */
    double elec_box_min[3]; /* body box, 3 decimals */
    double elec_box_max[3];
    double att_side_pt[3]; /* single-side touch point, valid when have_att_side_pt */
    bool have_att_side_pt;
    bool not_have_base;
    tag_t elec_top_face;     /* the base's back face */
    tag_t elec_depth_face;   /* the face the working part projects from */
    double elec_body_min[3]; /* working-part box, 3 decimals */
    double elec_body_max[3];
    char elec_name[ELEC_NAME_BUFSIZE];
    int elec_layer;
    int elec_layer_count; /* electrode bodies on elec_layer */
    int elec_layer_index; /* 1-based position among them, in cycling order */
    int chamfer_corner;   /* 0, or 1 to 4 anticlockwise from the upper right of the back face */
};

/* The record comes first so that a pointer to an entry is a pointer to its record. */
struct elec_entry {
    elec_data data;
    int sheet_count;
    int sheet_no;
    elec_entry *next;
};
static_assert(offsetof(elec_entry, data) == 0, "an entry must start with its record");

/* Clears elec_tag to not_have_base (tags, direction, points and flags); the rest is left as it is. Returns 1. */
int init_elec_data(elec_data *record);

/* Writes the record to the listing window; 0 with a message for a null record or one without a body. */
int list_elec_data(const elec_data *record);

/* A new entry, zero-filled and unlinked; null when memory is short (no message). Released with free_elec_list. */
elec_entry *new_elec_entry(void);

/* Releases every entry of the list from head on. */
void free_elec_list(elec_entry *head);

#endif
