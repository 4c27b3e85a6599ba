// Tick count and local time.
#include <ctime>

#include "orvosys.h"

extern "C" uint32_t osys_tick_count(void) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

extern "C" void osys_local_time(osys_time* t) {
    if (t == nullptr) return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    t->year = local.tm_year + 1900;
    t->month = local.tm_mon + 1;
    t->day = local.tm_mday;
    t->hour = local.tm_hour;
    t->minute = local.tm_min;
    t->second = local.tm_sec;
}
