/* The call check: wraps a host call whose failure does not decide what the command does next. A failure is written to
 * the listing window as two lines, the source file, line and call text, then the status and the host's message for
 * it; the wrapped expression yields the status unchanged.
 *
 * Each source file of the command is compiled with QUILLON_SOURCE_MODULE set to its path in the source tree, unit
 * folder and file name ("quillon/elec_sheet.cpp"). */
#ifndef HOST_UF_CALL_H
#define HOST_UF_CALL_H

#ifdef __cplusplus
extern "C" {
#endif

#ifndef QUILLON_SOURCE_MODULE
#error "compile the command's sources with QUILLON_SOURCE_MODULE set to the source file's path"
#endif

int report_error(const char *file, int line, const char *call, int irc);

#define UF_CALL(X) (report_error(QUILLON_SOURCE_MODULE, __LINE__, #X, (X)))

#ifdef __cplusplus
}
#endif

#endif
