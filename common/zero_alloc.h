// The one allocation helper of the libraries: every block they allocate
// comes zero-filled from here, so a test can make any chosen allocation fail
// and check that the caller takes its documented failure path.
#pragma once

#include <cstddef>
#include <memory>

namespace orvo {

// Returns a zero-filled block of `size` bytes, or null when memory ran out,
// when `size` is 0, or when the failure seam below says so. Never throws.
// Release the block with zero_free.
void* zero_alloc(std::size_t size) noexcept;

// Zero-filled array of `count` elements of `elem` bytes; null on overflow of
// count x elem as well as on every failure of zero_alloc.
void* zero_alloc_array(std::size_t count, std::size_t elem) noexcept;

// Releases a block of zero_alloc; null is accepted.
void zero_free(void* block) noexcept;

// Test seam: after this call the k-th following allocation (1-based) fails,
// and every one after it succeeds again. k <= 0 switches failures off.
void alloc_fail_at(long k) noexcept;
// Number of allocations made since the last alloc_fail_at.
long alloc_count() noexcept;

struct ZeroFree {
    void operator()(void* p) const noexcept { zero_free(p); }
};

// Owning handle for a block of zero_alloc.
template <typename T>
using ZeroPtr = std::unique_ptr<T, ZeroFree>;

template <typename T>
ZeroPtr<T> make_zeroed(std::size_t count) noexcept {
    return ZeroPtr<T>(static_cast<T*>(zero_alloc_array(count, sizeof(T))));
}

}  // namespace orvo
