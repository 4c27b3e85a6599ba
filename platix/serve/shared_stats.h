// Counters of the service shared by its worker processes: one block of
// anonymous shared memory made before the workers are forked, updated with
// lock-free atomics, read by whichever worker answers /v1/metrics.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace platix::serve {

// Upper bounds of the latency histogram, in seconds (+Inf follows).
inline constexpr double kLatencyBounds[] = {0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2.5, 5, 10};
inline constexpr int kLatencyBuckets = sizeof kLatencyBounds / sizeof kLatencyBounds[0];

struct SharedStats {
    std::atomic<std::uint64_t> requests{0};       // every answered request
    std::atomic<std::uint64_t> reads{0};          // POST /v1/read answered
    std::atomic<std::uint64_t> images_read{0};    // of them, images read (200)
    std::atomic<std::uint64_t> client_errors{0};  // 4xx answers
    std::atomic<std::uint64_t> server_errors{0};  // 5xx answers
    std::atomic<std::uint64_t> latency_us_sum{0}; // of the reads
    std::atomic<std::uint64_t> latency_buckets[kLatencyBuckets + 1] = {};  // non-cumulative
    std::atomic<int> workers_alive{0};
    std::atomic<int> workers_replaced{0};
    std::atomic<std::int64_t> started_ms{0};      // the service's start, steady clock
};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "shared counters need lock-free atomics");

// Maps a zeroed block shared with children forked later; null when the
// system refuses. Never unmapped: it lives as long as the process.
SharedStats* map_shared_stats();

// Records one answered request (`read`: a POST /v1/read, with its latency).
void record_request(SharedStats& s, int status, bool read, double seconds);

// The counters in Prometheus text exposition format.
std::string prometheus_text(const SharedStats& s, std::int64_t now_ms);

// Milliseconds of the steady clock.
std::int64_t steady_ms();

}  // namespace platix::serve
