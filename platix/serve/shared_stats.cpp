// The shared counters and their Prometheus text.
#include "serve/shared_stats.h"

#include <sys/mman.h>

#include <chrono>
#include <cstdio>
#include <new>

namespace platix::serve {

SharedStats* map_shared_stats() {
    void* p = ::mmap(nullptr, sizeof(SharedStats), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    return new (p) SharedStats();
}

std::int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void record_request(SharedStats& s, int status, bool read, double seconds) {
    s.requests.fetch_add(1, std::memory_order_relaxed);
    if (status >= 400 && status < 500) s.client_errors.fetch_add(1, std::memory_order_relaxed);
    if (status >= 500) s.server_errors.fetch_add(1, std::memory_order_relaxed);
    if (!read) return;
    s.reads.fetch_add(1, std::memory_order_relaxed);
    if (status == 200) s.images_read.fetch_add(1, std::memory_order_relaxed);
    s.latency_us_sum.fetch_add(static_cast<std::uint64_t>(seconds * 1e6), std::memory_order_relaxed);
    int b = 0;
    while (b < kLatencyBuckets && seconds > kLatencyBounds[b]) ++b;
    s.latency_buckets[b].fetch_add(1, std::memory_order_relaxed);
}

std::string prometheus_text(const SharedStats& s, std::int64_t now_ms) {
    std::string o;
    const auto metric = [&](const char* name, const char* type, const char* help, const std::string& value) {
        o += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n" + name + " " + value + "\n";
    };
    const auto u = [](const std::atomic<std::uint64_t>& a) { return std::to_string(a.load(std::memory_order_relaxed)); };
    metric("platix_requests_total", "counter", "Requests answered.", u(s.requests));
    metric("platix_client_errors_total", "counter", "Requests answered with a 4xx status.", u(s.client_errors));
    metric("platix_server_errors_total", "counter", "Requests answered with a 5xx status.", u(s.server_errors));
    metric("platix_images_read_total", "counter", "Images read by POST /v1/read.", u(s.images_read));
    metric("platix_workers_alive", "gauge", "Worker processes running.", std::to_string(s.workers_alive.load()));
    metric("platix_workers_replaced_total", "counter", "Worker processes that ended and were replaced.",
           std::to_string(s.workers_replaced.load()));
    const double up = static_cast<double>(now_ms - s.started_ms.load()) / 1000.0;
    char rate[64];
    std::snprintf(rate, sizeof rate, "%.3f", up > 0 ? static_cast<double>(s.images_read.load()) / up : 0.0);
    metric("platix_images_per_second", "gauge", "Images read per second since the service started.", rate);

    o += "# HELP platix_read_seconds Latency of POST /v1/read.\n# TYPE platix_read_seconds histogram\n";
    std::uint64_t cumulative = 0;
    char line[128];
    for (int b = 0; b <= kLatencyBuckets; ++b) {
        cumulative += s.latency_buckets[b].load(std::memory_order_relaxed);
        if (b < kLatencyBuckets) std::snprintf(line, sizeof line, "platix_read_seconds_bucket{le=\"%g\"} %llu\n", kLatencyBounds[b],
                                               static_cast<unsigned long long>(cumulative));
        else std::snprintf(line, sizeof line, "platix_read_seconds_bucket{le=\"+Inf\"} %llu\n", static_cast<unsigned long long>(cumulative));
        o += line;
    }
    std::snprintf(line, sizeof line, "platix_read_seconds_sum %.6f\n", static_cast<double>(s.latency_us_sum.load()) / 1e6);
    o += line;
    o += "platix_read_seconds_count " + std::to_string(cumulative) + "\n";
    return o;
}

}  // namespace platix::serve
