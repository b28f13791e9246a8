/* The displayed part. */
#ifndef HOST_UF_PART_H
#define HOST_UF_PART_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The part shown in the host, or the null tag when none is. */
tag_t UF_PART_ask_display_part(void);
/* The part's full file specification (UF_CFI_MAX_PATH_NAME_SIZE bytes); a longer one gives UF_err_buffer_too_small
 * and an empty text. */
int UF_PART_ask_part_name(tag_t part, char name[UF_CFI_MAX_PATH_NAME_SIZE]);

#ifdef __cplusplus
}
#endif

#endif
