// BMP decoder for uncompressed 8-bit (palette), 16-bit (5-5-5), 24-bit and
// 32-bit files. The info header is always taken as 40 bytes: the palette
// starts at offset 54 and the pixel data right after the palette, whatever
// the header's own size and data offset fields say beyond that.
#include <algorithm>
#include <cstdint>

#include "readers.h"

namespace rk {
namespace {

constexpr std::size_t kHeaderBytes = 54;  // file header 14 + info header 40

std::uint32_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8);
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return le16(b, at) | (le16(b, at + 2) << 16);
}

// Gray of every 8-bit index. Palette bytes the file does not hold count as
// 0, so an index past the palette that was read gives gray 0.
void palette_grays(std::span<const std::uint8_t> palette, std::uint8_t (&gray)[256]) {
    auto byte = [&](std::size_t at) -> int { return at < palette.size() ? palette[at] : 0; };
    for (std::size_t i = 0; i < 256; ++i)
        gray[i] = static_cast<std::uint8_t>(gray_of(byte(4 * i + 2), byte(4 * i + 1), byte(4 * i)));
}

// Gray of a 5-5-5 pixel: the gray of the 5-bit components, then widened to
// 0..255, each step truncated. The top bit is ignored.
std::uint8_t gray_of_555(std::uint32_t v) {
    const int blue = static_cast<int>(v & 0x1F);
    const int green = static_cast<int>((v >> 5) & 0x1F);
    const int red = static_cast<int>((v >> 10) & 0x1F);
    return static_cast<std::uint8_t>(gray_of(red, green, blue) * 255 / 31);
}

// Decodes the first `count` pixels of one stored row into `out`.
void decode_row(const std::uint8_t* in, int bits, std::size_t count, const std::uint8_t (&gray)[256],
                std::uint8_t* out) {
    switch (bits) {
        case 8:
            for (std::size_t x = 0; x < count; ++x) out[x] = gray[in[x]];
            break;
        case 16:
            for (std::size_t x = 0; x < count; ++x, in += 2)
                out[x] = gray_of_555(static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8));
            break;
        default: {
            const std::size_t step = static_cast<std::size_t>(bits / 8);
            for (std::size_t x = 0; x < count; ++x, in += step)
                out[x] = static_cast<std::uint8_t>(gray_of(in[2], in[1], in[0]));
            break;
        }
    }
}

}  // namespace

ReadResult decode_bmp(std::span<const std::uint8_t> file) {
    if (file.size() < kHeaderBytes) return read_failure(ReadError::too_short);
    if (file[0] != 'B' || file[1] != 'M') return read_failure(ReadError::bad_header);

    const std::uint32_t data_offset = le32(file, 10);
    std::uint64_t palette_bytes = data_offset > kHeaderBytes ? data_offset - kHeaderBytes : 0;
    const std::int64_t width = static_cast<std::int32_t>(le32(file, 18));
    const std::int64_t height = static_cast<std::int32_t>(le32(file, 22));
    const std::uint32_t planes = le16(file, 26);
    const int bits = static_cast<int>(le16(file, 28));
    const std::uint32_t compression = le32(file, 30);
    const int colours_used = static_cast<std::int16_t>(le16(file, 46));

    if (planes != 1) return read_failure(ReadError::bad_header);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return read_failure(ReadError::unsupported);
    if (bits == 8 && palette_bytes == 0) return read_failure(ReadError::bad_header);
    if (compression != 0) return read_failure(ReadError::unsupported);
    if (colours_used > 256) return read_failure(ReadError::bad_header);
    // A palette no longer than the colours used is taken as that long; the
    // pixel data follows the palette so taken.
    if (palette_bytes > 0 && colours_used > 0 && palette_bytes <= 4 * static_cast<std::uint64_t>(colours_used))
        palette_bytes = 4 * static_cast<std::uint64_t>(colours_used);

    // Negative heights mean rows stored top first.
    const bool top_first = height < 0;
    const std::int64_t rows = top_first ? -height : height;
    if (!page_size_ok(width, rows)) return read_failure(ReadError::bad_size);

    // Rows of whole pixels, padded to a multiple of 4 bytes.
    const std::size_t pixel_bytes = static_cast<std::size_t>(bits / 8);
    const std::size_t row_bytes = pixel_bytes * static_cast<std::size_t>(width);
    const std::size_t stride = (row_bytes + 3) / 4 * 4;
    const std::uint64_t data_start = kHeaderBytes + palette_bytes;
    const std::uint64_t held = data_start < file.size() ? file.size() - data_start : 0;
    if (!holds_enough(held, static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(rows)))
        return read_failure(ReadError::truncated);

    std::uint8_t gray[256] = {};
    if (bits == 8) {
        const std::size_t held = file.size() - kHeaderBytes;
        palette_grays(file.subspan(kHeaderBytes, static_cast<std::size_t>(std::min<std::uint64_t>(palette_bytes, held))),
                      gray);
    }

    ReadResult result;
    if (!allocate_page(result.page, static_cast<int>(width), static_cast<int>(rows)))
        return read_failure(ReadError::no_memory);

    // Pixels the file does not hold stay 0.
    std::size_t left = static_cast<std::size_t>(held);
    const std::uint8_t* in = file.data() + (file.size() - left);
    for (std::int64_t k = 0; k < rows && left > 0; ++k) {
        const std::size_t count = std::min(row_bytes, left) / pixel_bytes;
        const int y = static_cast<int>(top_first ? k : rows - 1 - k);
        decode_row(in, bits, count, gray, result.page.row(y));
        const std::size_t used = std::min(stride, left);
        in += used;
        left -= used;
    }
    return result;
}

}  // namespace rk
