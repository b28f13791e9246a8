/* Drafting annotation: the annotation preferences notes, labels and dimensions are made with.
 *
 * mpi holds UF_DRF_PREF_INTEGERS integer entries, mpr UF_DRF_PREF_REALS real entries; the host documents the meaning of
 * every entry it honours in one table (cadhost/document/drafting_preferences.h), for example mpi[30] the alignment of
 * note text on its origin and mpr[44] the height of note text. radius_val and diameter_val are the texts put before
 * radius and diameter values, at most UF_DRF_SYMBOL_TEXT_SIZE bytes with the terminator. */
#ifndef HOST_UF_DRF_H
#define HOST_UF_DRF_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define UF_DRF_PREF_INTEGERS 100
#define UF_DRF_PREF_REALS 70
#define UF_DRF_SYMBOL_TEXT_SIZE 27

int UF_DRF_ask_preferences(int mpi[UF_DRF_PREF_INTEGERS], double mpr[UF_DRF_PREF_REALS],
                           char radius_val[UF_DRF_SYMBOL_TEXT_SIZE], char diameter_val[UF_DRF_SYMBOL_TEXT_SIZE]);
/* Sets the entries and the two texts; the lettering's members that are not among the entries (fonts, widths, line
 * spacing, the text angle, ...) keep their values. Texts longer than UF_DRF_SYMBOL_TEXT_SIZE - 1 bytes are refused
 * (UF_err_bad_argument) and nothing changes. */
int UF_DRF_set_preferences(const int mpi[UF_DRF_PREF_INTEGERS], const double mpr[UF_DRF_PREF_REALS],
                           const char *radius_val, const char *diameter_val);

/* Lettering: how texts of each kind are written. Members named by their byte position. Three members are the same
 * settings as entries of the annotation preferences, reached either way: align_position is mpi[30], the dimension
 * text's size and character spacing are mpr[32] and mpr[33], the general text's size and aspect ratio are mpr[44]
 * and mpr[45]. */
typedef struct UF_DRF_lettering_s {
    int font;                 /* +0: 1, the host's one font family (a sans-serif with Chinese glyphs) */
    int width;                /* +4: kept and handed back; text strokes are the font's own */
    double size;              /* +8: capital height, mm */
    double char_space_factor; /* +16: spacing between characters: 1.0 the font's own; each 0.1 above or below
                                 widens or narrows the gaps by 2% of the size (at most 10% narrower) */
    double aspect_ratio;      /* +24: character width over height, 1.0 the font as drawn */
    double line_space_factor; /* +32: gap between the lines of a note: 1.0 the host's normal gap of 0.6 times the
                                 size, 0 lines touching */
    double reserved;          /* +40 */
} UF_DRF_lettering_t;

typedef struct UF_DRF_lettering_preferences_s {
    int align_position;                /* byte 0: where a note's origin lies on its text (keypad: 1 top left ... 5
                                          middle ... 9 bottom right) */
    int reserved_4;                    /* byte 4 */
    double text_angle;                 /* byte 8: degrees, anticlockwise; reserved, 0 */
    UF_DRF_lettering_t dimension_text; /* byte 16: values of dimensions */
    UF_DRF_lettering_t appended_text;  /* byte 64: text appended to dimensions */
    UF_DRF_lettering_t tolerance_text; /* byte 112: tolerances (not used by this host's dimensions) */
    UF_DRF_lettering_t general_text;   /* byte 160: notes and labels; size at byte 168, spacing 176, aspect 184 */
} UF_DRF_lettering_preferences_t;

int UF_DRF_ask_lettering_preferences(UF_DRF_lettering_preferences_t *lettering);
int UF_DRF_set_lettering_preferences(const UF_DRF_lettering_preferences_t *lettering);

/* Notes: text on the current drawing. text holds the note's lines separated by line feeds (num_lines is at least 1;
 * every line of text is shown); origin is the sheet point (x, y; z ignored) where the note's alignment position lies;
 * orientation is the text's angle in degrees, anticlockwise. The note is made with the lettering and preferences
 * current now and keeps them. */
int UF_DRF_create_note(int num_lines, const char *text, const double origin[3], int orientation, tag_t *note);

/* How a label's leader attaches: to a sheet point. */
#define UF_DRF_leader_attach_screen 1
typedef struct UF_DRF_object_s UF_DRF_object_t, *UF_DRF_object_p_t;
/* A label: a note with a leader from the text to leader_point (sheet). The leader leaves the text at the end that
 * mpi[1] names. object is not used with UF_DRF_leader_attach_screen and may be NULL. */
int UF_DRF_create_label(int num_lines, const char *text, const double origin[3], int leader_attach_type,
                        UF_DRF_object_p_t object, const double leader_point[3], tag_t *label);

/* What a dimension measures from: a point, or an end of a line or edge, as seen in a drawing view. */
#define UF_DRF_end_point 1
struct UF_DRF_object_s {
    tag_t object_tag;          /* a point, a line, an edge of a body */
    tag_t object_view_tag;     /* the drawing view the object is seen in */
    int object_assoc_type;     /* UF_DRF_end_point */
    int object_assoc_modifier; /* for lines and edges: 1 (or 0) the first end, 2 the second end, in the order
                                  UF_MODL_ask_edge_verts and UF_CURVE_ask_line_data give them */
    tag_t object2_tag;         /* reserved, NULL_TAG */
    double assoc_dwg_pos[2];   /* reserved */
};
int UF_DRF_init_object_structure(UF_DRF_object_p_t object);

/* The text of a dimension. The host always writes the measured value, formatted with the preferences (mpi[9]
 * decimals, mpi[90] trailing zeros). A user text of one character (a placeholder, such as "h" or "H") adds nothing; a
 * longer user text is written instead of the value. Appended lines longer than one character are written under the
 * value; empty or one-character lines add nothing. */
typedef struct UF_DRF_text_s {
    char *user_dim_text;
    int lines_app_text;
    char **appended_text;
} UF_DRF_text_t;

/* Linear dimensions between two objects: horizontal measures along the sheet's x, vertical along its y, in model
 * millimetres (the sheet distance divided by the view's scale). dim_origin is the sheet point where the value text's
 * middle lies (its coordinate along the dimension only with mpi[3] 2; automatic placement centres it between the
 * extension lines). The value stands on its dimension line: above a horizontal one, and left of a vertical one,
 * turned to read from the right. The line runs on under a value put beyond an extension line; arrowheads point in
 * from outside when the extension lines are too close for them. Both objects must be seen in drawing views of the
 * current drawing; an extension line leaves a line that runs along it (a centre line) at its end nearer the
 * dimension line. */
int UF_DRF_create_horizontal_dim(UF_DRF_object_p_t object1, UF_DRF_object_p_t object2, UF_DRF_text_t *text,
                                 const double dim_origin[3], tag_t *dimension);
int UF_DRF_create_vertical_dim(UF_DRF_object_p_t object1, UF_DRF_object_p_t object2, UF_DRF_text_t *text,
                               const double dim_origin[3], tag_t *dimension);

/* Ordinate dimensioning. An origin marks the zero of the ordinates at an object; display_flag 1 draws its symbol,
 * name_flag 1 writes its name (name_flag is ignored for an empty name), name_side 1 left or 2 right of the symbol. */
int UF_DRF_create_ordorigin(UF_DRF_object_p_t object, int display_flag, int name_flag, int name_side, const char *name,
                            tag_t *origin);
/* A margin is the line on which ordinate values are written: type 1 a horizontal margin carrying the values along x,
 * type 2 a vertical margin carrying the values along y. It runs through the origin's sheet point moved by offset (mm)
 * across itself (up for type 1, right for type 2; negative the other way). object (the line the margin is drawn
 * along, as seen in its view), point and direction are kept with the margin; direction (0, 0) means the sheet axis. */
#define UF_DRF_ORD_HORIZONTAL_MARGIN 1
#define UF_DRF_ORD_VERTICAL_MARGIN 2
int UF_DRF_create_ordmargin(int type, tag_t origin, UF_DRF_object_p_t object, const double point[3],
                            const double direction[2], double offset, tag_t *margin);
/* An ordinate dimension: the distance from the margin's origin to the object along the margin's axis, in model
 * millimetres, written just beyond the margin and reading along an extension line from the object. The value's place
 * along the margin is the object's own, unless text_point gives another (a nonzero coordinate along the margin); a
 * moved value is joined to its place by a dogleg: the extension line jogs over at dogleg_angle degrees from its own
 * direction and runs the last dogleg_distance mm straight into the margin. dim_type 2 and text_kind 1 are the only
 * kinds (the value written as the text record says). */
int UF_DRF_create_orddimension(tag_t margin, int dim_type, UF_DRF_object_p_t object, double dogleg_angle,
                               double dogleg_distance, UF_DRF_text_t *text, int text_kind, const double text_point[3],
                               tag_t *dimension);

#ifdef __cplusplus
}
#endif

#endif
