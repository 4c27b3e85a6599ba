// Loads a whole file into memory for the decoders that work on byte spans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "read_status.h"
#include "zero_alloc.h"

namespace rk {

// Largest file the span decoders load (a 32-bit BMP of the largest page
// with its row padding fits).
inline constexpr std::size_t kMaxFileBytes = (std::size_t{5} << 28);

struct FileBytes {
    orvo::ZeroPtr<std::uint8_t> data;
    std::size_t size = 0;

    std::span<const std::uint8_t> span() const { return {data.get(), size}; }
};

// Reads the file at `path` into `out`. Returns ReadError::none, cannot_open
// (missing, unreadable or larger than kMaxFileBytes), too_short (empty) or
// no_memory.
ReadError load_file(const char* path, FileBytes& out);

}  // namespace rk
