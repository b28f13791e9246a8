/* The reversed model views: "tfr-iso" turned so that the core's iso view can look at it from each electrode side. */
#ifndef MY_FUNC_MODEL_VIEWS_H
#define MY_FUNC_MODEL_VIEWS_H

/* Makes "reve_iso", "reve_s", "reve_s_r", "reve_f" and "reve_f_r" unless the part has "reve_iso" already.
 * 1 when the views exist afterwards; 0 after a message. */
int prepare_model_views(void);

#endif
