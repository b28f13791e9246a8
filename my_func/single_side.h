/* The single-side touch check: the touch point stored on an electrode body must still be the centre of a circle on
 * its layer, or the body was moved without its attributes. */
#ifndef MY_FUNC_SINGLE_SIDE_H
#define MY_FUNC_SINGLE_SIDE_H

#include "host/uf_types.h"

/* 1 when a circle or arc on the body's layer has the body's touch point as centre (3 decimals); 0 after a message. */
int check_single_side_touch(tag_t body);

#endif
