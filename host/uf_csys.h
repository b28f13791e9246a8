/* Coordinate systems and their matrices. */
#ifndef HOST_UF_CSYS_H
#define HOST_UF_CSYS_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The part's work coordinate system. */
int UF_CSYS_ask_wcs(tag_t *wcs);
/* The orientation matrix and the origin (absolute coordinates) of a coordinate system. */
int UF_CSYS_ask_csys_info(tag_t csys, tag_t *matrix, double origin[3]);
/* The nine values of a matrix, row by row: the x axis, the y axis and the z axis in absolute coordinates. */
int UF_CSYS_ask_matrix_values(tag_t matrix, double values[9]);

#ifdef __cplusplus
}
#endif

#endif
