/* The entry points a command library offers the host. */
#ifndef HOST_UF_EXIT_H
#define HOST_UF_EXIT_H

#ifdef __cplusplus
extern "C" {
#endif

/* Answers of ufusr_ask_unload: unload as soon as ufusr has returned, or keep the library until the host ends. */
#define UF_UNLOAD_IMMEDIATELY 1
#define UF_UNLOAD_UG_TERMINATE 2

/* A command library is built with its symbols hidden; these three are what it shows the host. */
#define UF_EXPORT __attribute__((visibility("default")))

/* Runs the command: a parameter text, a return-code cell and the text's length. */
UF_EXPORT void ufusr(char *param, int *retcode, int param_len);
/* Tells the host when it may unload the library. */
UF_EXPORT int ufusr_ask_unload(void);
/* Called by the host just before it unloads the library. */
UF_EXPORT void ufusr_cleanup(void);

#ifdef __cplusplus
}
#endif

#endif
