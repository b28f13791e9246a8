// The geometry kernel keeps its registries (data exchange protocols, document drivers, memory pools) in static
// storage that it never frees; a target that sets the STEP translator up in its own process would have the leak
// check at the end of a run report them. They are not leaks of ours (the tests' suppressions list the same).
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libTKernel.so\nleak:libTKXSBase.so\nleak:libTKSTEP\nleak:libTKXDESTEP.so\nleak:libTKXCAF.so\n"
           "leak:libTKLCAF.so\nleak:libTKCAF.so\nleak:libTKShHealing.so\nleak:libTKVCAF.so\n";
}
