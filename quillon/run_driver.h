/* The drawing run: one sheet per electrode body of the confirmed layer range. */
#ifndef QUILLON_RUN_DRIVER_H
#define QUILLON_RUN_DRIVER_H

#include <stddef.h>

#include "my_func/elec_record.h"
#include "quillon/run_settings.h"

/* Makes a sheet for every electrode body, in list order, and stops at the first step that fails, keeping the sheets
 * made so far. 1 when every body has its sheet, 0 after the failing step's message. */
int run_elec_drawings(const run_settings *settings);

/* Numbers the list's sheets: per_sheet records share one sheet number, and each record learns the count. Returns 1. */
int number_sheets(elec_entry *list, int per_sheet);

/* Longest sheet name the run forms, terminator included: an electrode name with a "_" and a counter. */
#define SHEET_NAME_BUFSIZE 64

/* The first letter A to Z whose first group sheet name no object has: 1 and the letter, or 0 after a message. */
int choose_group_letter(char *letter);

/* The next free group sheet name after *counter, which moves on to its number; every name passed over is told. */
void next_group_sheet_name(char letter, int *counter, char name[SHEET_NAME_BUFSIZE]);

/* The electrode body's name, with "_k" and the smallest k that no drawing has taken when a drawing has the name
 * itself. 1, or 0 after a message for a body without a name. */
int elec_sheet_name(tag_t elec_tag, char name[SHEET_NAME_BUFSIZE]);

/* Shows in the status line which sheet of the run is being made: the electrode's name, or its layer when it has none,
 * and the sheet's number of the count, "E07 (7/8)". */
void show_sheet_progress(const elec_entry *entry);

#endif
