/* The measurement of the mould core: the common box of the solid bodies on the core layer. */
#ifndef QUILLON_CORE_SCAN_H
#define QUILLON_CORE_SCAN_H

/* Measures the visible core bodies of mr_layer into mr_min and mr_max, unblanking a single blanked core first.
 * Returns 1, or 0 after a message (the box may then hold part of the bodies). Blanked bodies beside others are left
 * out, and when all of them are, mr_min and mr_max keep what the caller put there. */
int scan_core_layer(int mr_layer, double mr_min[3], double mr_max[3]);

#endif
