// Leaks the checker skips in Qt tests: fontconfig keeps its caches until the process ends.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
