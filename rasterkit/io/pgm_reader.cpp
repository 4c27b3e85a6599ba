// PGM decoder for the one binary layout taken: the four lines "P5", width,
// height and "255", each ended by a line feed and at most 15 characters
// long, then one gray byte per pixel, rows top first.
#include <algorithm>
#include <cstring>

#include "readers.h"

namespace rk {
namespace {

// Longest header line, its line feed included.
constexpr std::size_t kMaxLineBytes = 15;

bool is_blank(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads the line that starts at *pos as a decimal number: digits, with
// blanks allowed around them and nothing else. Moves *pos past the line
// feed. Fails on a line without its line feed within kMaxLineBytes, on a
// line that is not a number, and at the end of the file.
ReadError read_number_line(std::span<const std::uint8_t> file, std::size_t* pos, long long* value) {
    const std::size_t start = *pos;
    const std::size_t limit = std::min(file.size(), start + kMaxLineBytes);
    std::size_t end = start;
    while (end < limit && file[end] != 0x0A) ++end;
    if (end == limit) {
        // No line feed: either the line is too long or the file ends first.
        return limit - start == kMaxLineBytes ? ReadError::bad_header : ReadError::too_short;
    }
    std::size_t i = start;
    while (i < end && is_blank(file[i])) ++i;
    const std::size_t digits_start = i;
    long long v = 0;
    // At most 14 digits fit on a line, far below the range of long long.
    while (i < end && file[i] >= '0' && file[i] <= '9') v = v * 10 + (file[i++] - '0');
    if (i == digits_start) return ReadError::bad_header;
    while (i < end && is_blank(file[i])) ++i;
    if (i != end) return ReadError::bad_header;
    *value = v;
    *pos = end + 1;
    return ReadError::none;
}

}  // namespace

ReadResult decode_pgm(std::span<const std::uint8_t> file) {
    if (file.size() < 3) return read_failure(ReadError::too_short);
    if (file[0] != 'P' || file[1] != '5' || file[2] != 0x0A) return read_failure(ReadError::bad_header);
    std::size_t pos = 3;
    long long width = 0, height = 0, maxval = 0;
    for (long long* field : {&width, &height, &maxval}) {
        ReadError e = read_number_line(file, &pos, field);
        if (e != ReadError::none) return read_failure(e);
    }
    if (maxval != 255) return read_failure(ReadError::unsupported);
    if (!page_size_ok(width, height)) return read_failure(ReadError::bad_size);
    const std::size_t want = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (!holds_enough(file.size() - pos, want)) return read_failure(ReadError::truncated);

    ReadResult result;
    if (!allocate_page(result.page, static_cast<int>(width), static_cast<int>(height)))
        return read_failure(ReadError::no_memory);
    // A short file leaves the pixels it lacks at 0.
    const std::size_t have = std::min(want, file.size() - pos);
    std::memcpy(result.page.pixels.get(), file.data() + pos, have);
    return result;
}

}  // namespace rk
