// Processor count and current directory.
#include <sched.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "orvosys.h"

extern "C" int osys_processor_count(void) {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0) {
        int n = CPU_COUNT(&set);
        if (n > 0) return n;
    }
    long n = sysconf(_SC_NPROCESSORS_ONLN);
    return n > 0 ? static_cast<int>(n) : 1;
}

extern "C" size_t osys_current_directory(char* buf, size_t size) {
    if (buf == nullptr || size == 0) return 0;
    std::vector<char> tmp(4096);
    if (getcwd(tmp.data(), tmp.size()) == nullptr) return 0;
    size_t len = std::strlen(tmp.data());
    if (len + 1 > size) return 0;
    std::memcpy(buf, tmp.data(), len + 1);
    return len;
}
