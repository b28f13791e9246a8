/* One A4 drawing sheet per electrode, with the border and title block of the template part and its notes filled. */
#ifndef QUILLON_ELEC_SHEET_H
#define QUILLON_ELEC_SHEET_H

#include <stddef.h>
#include <time.h>

#include "host/uf_types.h"

/* Creates the drawing sheet_name (it becomes the current drawing), imports the template onto it and writes the title
 * block: date, page sheet_no of sheet_count, mould and part number, client and part type of the run settings and, when
 * configured, the part's path. 1 when the sheet exists, 0 after a message when none was made. */
int create_elec_sheet(const char *sheet_name, const char *mold_no, const char *part_no, tag_t *drawing, int sheet_count,
                      int sheet_no);

/* The clock the date note reads: time() unless a caller needs a fixed day. */
extern time_t (*elec_sheet_clock)(time_t *);

/* Forgets the title-block positions read from config.def, as a fresh load of the library does. */
void reset_elec_sheet_positions(void);

/* "year.month.day" without leading zeros in local time; an empty text when the time cannot be broken down. */
void format_sheet_date(time_t when, char *text, size_t size);

/* The title block's text for a part type of the dialog; the empty text for a value outside 1 to 7. */
const char *part_type_text(int part_type);

/* Upper-cases the ASCII letters of text in place; other bytes (parts of UTF-8 characters) are left alone. */
void upper_case_ascii(char *text);

#endif
