/* The config.def switches of the core-view ordinates: nonzero draws that value. Read on first use and kept; the top
 * view's and the front view's switches are independent. A key written without a value keeps the switch as it starts:
 * the origin's value drawn, the others not. */
#ifndef QUILLON_ORDINATE_SWITCHES_H
#define QUILLON_ORDINATE_SWITCHES_H

typedef struct top_ordinate_switches_s {
    int y_0, y_edm, y_min, y_max;
    int x_0, x_edm, x_min, x_max;
} top_ordinate_switches;

typedef struct front_ordinate_switches_s {
    int y_0, y_edm, y_min, y_max;
} front_ordinate_switches;

/* 1 and the switches, or 0 after the reader's message. */
int read_top_ordinate_switches(top_ordinate_switches *out);
int read_front_ordinate_switches(front_ordinate_switches *out);

#endif
