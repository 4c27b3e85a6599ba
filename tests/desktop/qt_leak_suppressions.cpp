// Leak reports the leak checker is to skip in the tests that run Qt: the
// font configuration library keeps its caches until the process ends.
// Only allocations made inside that library are matched.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
