// The geometry kernel keeps its registries (data exchange protocols, document drivers, memory pools) in static
// storage that it never frees; a target that sets the STEP translator up in its own process would have the leak
// check at the end of a run report them. They are not leaks of ours; the build takes the list from the tests'
// suppression file.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return QUILLON_KERNEL_LEAKS; }
