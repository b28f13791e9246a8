// One copy of the host's annotation preferences: the command asks them twice, changes one copy and sets the other back.
#ifndef QUILLON_DRF_PREFERENCES_H
#define QUILLON_DRF_PREFERENCES_H

#include "host/uf_drf.h"

struct drf_preferences {
    int mpi[UF_DRF_PREF_INTEGERS];
    double mpr[UF_DRF_PREF_REALS];
    char radius_val[UF_DRF_SYMBOL_TEXT_SIZE];
    char diameter_val[UF_DRF_SYMBOL_TEXT_SIZE];
};

#endif
