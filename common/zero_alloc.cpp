// Zero-filling allocation with a failure seam for tests.
#include "zero_alloc.h"

#include <atomic>
#include <cstdlib>

namespace orvo {
namespace {
std::atomic<long> g_fail_at{0};
std::atomic<long> g_count{0};
}  // namespace

void* zero_alloc(std::size_t size) noexcept {
    if (size == 0) return nullptr;
    long n = ++g_count;
    long k = g_fail_at.load(std::memory_order_relaxed);
    if (k > 0 && n == k) return nullptr;
    return std::calloc(1, size);
}

void* zero_alloc_array(std::size_t count, std::size_t elem) noexcept {
    if (elem != 0 && count > static_cast<std::size_t>(-1) / elem) return nullptr;
    return zero_alloc(count * elem);
}

void zero_free(void* block) noexcept { std::free(block); }

void alloc_fail_at(long k) noexcept {
    g_count = 0;
    g_fail_at = k;
}

long alloc_count() noexcept { return g_count; }

}  // namespace orvo
