/* The check entry point a command library may offer beside ufusr: the command's own analysis of a part's electrodes,
 * going on past every problem a run would stop at, reported to the host through callbacks. The host runs it on a part
 * it never saves, so whatever the analysis makes in the model is thrown away. */
#ifndef HOST_COMMAND_CHECK_H
#define HOST_COMMAND_CHECK_H

#include "host/uf_exit.h"
#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Room for a text of the report, terminator included; longer texts are cut. */
#define CHECK_TEXT_BUFSIZE 512
/* Room for an attribute value as the sheet would write it, terminator included. */
#define CHECK_VALUE_BUFSIZE 32
/* The spark gaps and counts the sheet shows: rough and finish gap, rough and finish count, then the special
 * electrodes' four. */
#define CHECK_ATTR_SLOTS 8

/* One electrode body as the analysis saw it. Fields past a failed step keep their "not found" values. */
typedef struct command_check_body_s {
    tag_t body;
    int layer;
    int index_on_layer; /* 1-based, in cycling order */
    int count_on_layer;
    char name[UF_OBJ_NAME_BUFSIZE]; /* empty when unnamed */
    int analysed;                   /* 1 when the body analysis went through */
    int direction;                  /* 1 t, -1 -t, 2 f, -2 -f, 3 s, -3 -s; 0 not found */
    int without_base;               /* 1 for an electrode whose diagonal lies across a side of its box */
    int base_found;                 /* back face and depth face found */
    int diagonal_found;
    /* 1 when the depth face was found and measured: depth_corners are then the two corners of its box, to 3
     * decimals, that a diagonal line drawn as the command's designs draw it joins, start first. */
    int have_depth_corners;
    double depth_corners[2][3];
    double reference[3]; /* the EDM reference point, when analysed */
    int have_touch_point;
    double touch_point[3];
    int touch_circle_found;
    int chamfer_corner; /* 0 none, 1 to 4 */
    double box_min[3];  /* the body box, when analysed */
    double box_max[3];
    /* The values the sheet would show, as it writes them; an empty text for a slot the body does not carry. */
    char attribute_titles[CHECK_ATTR_SLOTS][CHECK_VALUE_BUFSIZE];
    char attributes[CHECK_ATTR_SLOTS][CHECK_VALUE_BUFSIZE];
    /* 1 when the body carries none of them and the configuration's four defaults stand in (below). */
    int defaults_stand_in;
    char defaults[4][CHECK_VALUE_BUFSIZE];
    int problems; /* how many problems were told for this body */
} command_check_body;

/* An attribute title the command reads, and its kind (UF_ATTR_integer, UF_ATTR_real or UF_ATTR_string). */
typedef struct command_attribute_title_s {
    const char *title;
    int type;
} command_attribute_title;

/* What the check is looking at when it begins a part of it. */
#define CHECK_CONFIGURATION 0 /* the configuration a run reads before its dialog */
#define CHECK_DIALOG 1        /* the dialog's OK, with the values a batch run would give it */
#define CHECK_CORE 2          /* the core on its layer */
#define CHECK_BODY 3          /* an electrode body */
#define CHECK_SHEETS 4        /* what the sheets need before any is drawn (their names) */

/* The layers the dialog's OK confirmed. */
typedef struct command_check_settings_s {
    int core_layer;
    int from_layer;
    int to_layer;
} command_check_settings;

typedef struct command_check_sink_s {
    void *context;
    /* The check turns to a part of what a run looks at: layer and body say which, NULL_TAG and 0 where they do not
     * apply. A part may be begun again later (a body's sheet name after the core): its problems come in the order a
     * run would meet them. */
    void (*begin)(void *context, int what, int layer, tag_t body);
    /* A step failed as a run would stop at it: its message has just been shown with uc1601; explanation says in
     * English what was measured and what to fix. */
    void (*problem)(void *context, const char *explanation);
    /* What the analysis found of the body begun last. */
    void (*body)(void *context, const command_check_body *body);
    /* The dialog's OK went through with these layers. */
    void (*confirmed)(void *context, const command_check_settings *settings);
} command_check_sink;

/* Goes through what a batch run of the command does before it draws, with the dialog values the host holds for the
 * run: the configuration, the dialog's OK, then every visible solid body of the confirmed layers, the core and the
 * sheets' names, going on past every step that would stop a run (a refused OK ends the check, as nothing is looked
 * at after it). The number of problems told, or -1 when the command could not start. */
UF_EXPORT int ufusr_check(const command_check_sink *sink);
typedef int (*ufusr_check_fn)(const command_check_sink *sink);

/* The attribute titles the command reads from electrode bodies: their number, and the table in *titles. The first
 * CHECK_ATTR_SLOTS are the spark gaps and counts in the order of command_check_body's slots; the note is the one of
 * type UF_ATTR_string. */
UF_EXPORT int ufusr_attribute_titles(const command_attribute_title **titles);
typedef int (*ufusr_attribute_titles_fn)(const command_attribute_title **titles);

#ifdef __cplusplus
}
#endif

#endif
