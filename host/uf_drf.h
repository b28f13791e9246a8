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
/* Texts longer than UF_DRF_SYMBOL_TEXT_SIZE - 1 bytes are refused (UF_err_bad_argument) and nothing changes. */
int UF_DRF_set_preferences(const int mpi[UF_DRF_PREF_INTEGERS], const double mpr[UF_DRF_PREF_REALS],
                           const char *radius_val, const char *diameter_val);

#ifdef __cplusplus
}
#endif

#endif
