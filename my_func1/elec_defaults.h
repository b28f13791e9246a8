/* The spark-gap and electrode-count defaults of config.def, written on sheets of electrodes that carry none. */
#ifndef MY_FUNC1_ELEC_DEFAULTS_H
#define MY_FUNC1_ELEC_DEFAULTS_H

/* Longest default text kept; a longer value is cut at a character boundary. */
#define ELEC_DEFAULT_LEN 29

typedef struct elec_defaults_s {
    char elec_rough_space[ELEC_DEFAULT_LEN + 1];
    char elec_finish_space[ELEC_DEFAULT_LEN + 1];
    char elec_rough_number[ELEC_DEFAULT_LEN + 1];
    char elec_finish_number[ELEC_DEFAULT_LEN + 1];
} elec_defaults;

/* Filled once per run before the dialog; empty until then. */
extern elec_defaults the_elec_defaults;

/* Reads the four defaults. 1 on success; 0 after a message when the file, a key or an end marker is missing (the
 * fields read before the failure keep their values). */
int read_elec_defaults(elec_defaults *defaults);

#endif
