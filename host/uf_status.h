/* Status codes the host returns. 0 is success; every other code has a message text (UF_get_fail_message). */
#ifndef HOST_UF_STATUS_H
#define HOST_UF_STATUS_H

#ifdef __cplusplus
extern "C" {
#endif

#define UF_ok 0
#define UF_err_not_initialized 1001  /* the host interface is not open (UF_initialize) */
#define UF_err_no_part 1002          /* no part is displayed */
#define UF_err_bad_tag 1003          /* the tag names no object of the displayed part */
#define UF_err_wrong_type 1004       /* the object is of a kind the operation does not take */
#define UF_err_bad_argument 1005     /* a null output or an argument out of range */
#define UF_err_bad_layer 1006        /* a layer outside 1 to 256, or an illegal change of layer state */
#define UF_err_no_name 1007          /* the object has no name */
#define UF_err_name_too_long 1008    /* a name longer than UF_OBJ_NAME_LEN */
#define UF_err_attr_not_found 1009   /* the object has no attribute of that title and type */
#define UF_err_geometry 1010         /* the geometry kernel could not answer */
#define UF_err_bad_list 1011         /* a list that does not exist, or an index outside it */
#define UF_err_no_memory 1012        /* the host ran out of memory */
#define UF_err_buffer_too_small 1013 /* the answer does not fit the caller's buffer */
#define UF_err_io 1014               /* a file could not be read or written */
#define UF_err_not_supported 1015    /* the host does not offer this for that object */
#define UF_err_internal 1016         /* an unexpected failure inside the host */
#define UF_err_view_not_found 1017   /* no model view has that name */
#define UF_err_name_taken 1018       /* another object of that kind has the name */
#define UF_err_no_drawing 1019       /* there is no current drawing */
#define UF_err_last 1019             /* the highest code above */

#ifdef __cplusplus
}
#endif

#endif
