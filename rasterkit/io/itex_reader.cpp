// ITEX decoder: a 64-byte header with the page size, then one gray byte per
// pixel, rows top first.
#include <algorithm>
#include <cstring>

#include "readers.h"

namespace rk {
namespace {

constexpr std::size_t kHeaderBytes = 64;

unsigned le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<unsigned>(b[at]) | (static_cast<unsigned>(b[at + 1]) << 8);
}

}  // namespace

ReadResult decode_itex(std::span<const std::uint8_t> file) {
    if (file.size() < kHeaderBytes) return read_failure(ReadError::too_short);
    if (file[0] != 'I' || file[1] != 'M') return read_failure(ReadError::bad_header);
    const int width = static_cast<int>(le16(file, 4));
    const int height = static_cast<int>(le16(file, 6));
    if (le16(file, 12) != 0) return read_failure(ReadError::unsupported);
    if (!page_size_ok(width, height)) return read_failure(ReadError::bad_size);
    const std::size_t want = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (!holds_enough(file.size() - kHeaderBytes, want)) return read_failure(ReadError::truncated);

    ReadResult result;
    if (!allocate_page(result.page, width, height)) return read_failure(ReadError::no_memory);
    // A short file leaves the pixels it lacks at 0.
    const std::size_t have = std::min(want, file.size() - kHeaderBytes);
    std::memcpy(result.page.pixels.get(), file.data() + kHeaderBytes, have);
    return result;
}

}  // namespace rk
