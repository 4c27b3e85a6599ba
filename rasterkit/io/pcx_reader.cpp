// PCX reader for version-5 files of 8 bits per pixel with the 256-colour
// palette at the end: run-length data from offset 128, each pixel a
// palette index turned to gray.
#include <algorithm>
#include <cstring>

#include "file_bytes.h"
#include "readers.h"

namespace rk {
namespace {

constexpr std::size_t kHeaderBytes = 128;
// The palette marker byte and its 256 entries of red, green, blue.
constexpr std::size_t kPaletteTail = 1 + 768;
constexpr std::uint8_t kPaletteMarker = 12;

unsigned le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<unsigned>(b[at]) | (static_cast<unsigned>(b[at + 1]) << 8);
}

// Decodes the run-length data `in` into `page`, row by row, each row
// exactly page.width pixels: a run that reaches past the row end is cut
// there and no byte is skipped between rows. Returns how many pixels were
// written before the data ran out (the page holds them as a prefix).
std::size_t decode_runs(std::span<const std::uint8_t> in, GrayPage& page) {
    std::size_t pos = 0;
    const int width = page.width;
    for (int y = 0; y < page.height; ++y) {
        std::uint8_t* row = page.row(y);
        int x = 0;
        while (x < width) {
            if (pos >= in.size()) return static_cast<std::size_t>(y) * width + x;
            const std::uint8_t c = in[pos++];
            if ((c & 0xC0) == 0xC0) {
                if (pos >= in.size()) return static_cast<std::size_t>(y) * width + x;
                const int n = std::min(c & 0x3F, width - x);
                std::memset(row + x, in[pos++], static_cast<std::size_t>(n));
                x += n;
            } else {
                row[x++] = c;
            }
        }
    }
    return static_cast<std::size_t>(page.height) * width;
}

}  // namespace

ReadResult decode_pcx(std::span<const std::uint8_t> file) {
    if (file.size() < kHeaderBytes) return read_failure(ReadError::too_short);
    if (file[0] != 10 || file[1] != 5) return read_failure(ReadError::bad_header);
    const int bits = file[3] == 1 ? file[65] : file[3];
    if (bits != 8) return read_failure(ReadError::unsupported);
    if (file.size() < kPaletteTail || file[file.size() - kPaletteTail] != kPaletteMarker)
        return read_failure(ReadError::bad_header);
    const std::uint8_t* palette = file.data() + file.size() - kPaletteTail + 1;

    const unsigned xmin = le16(file, 4), ymin = le16(file, 6);
    const unsigned xmax = le16(file, 8), ymax = le16(file, 10);
    if (xmax < xmin || ymax < ymin) return read_failure(ReadError::bad_size);
    const int width = static_cast<int>(xmax - xmin + 1);
    const int height = static_cast<int>(ymax - ymin + 1);
    if (!page_size_ok(width, height)) return read_failure(ReadError::bad_size);
    // The run-length data ends where the palette begins. It cannot be
    // shorter than the tightest coding of its rows: a byte pair per 63
    // pixels and one or two bytes for the rest of a row.
    const std::size_t data_end = std::max(kHeaderBytes, file.size() - kPaletteTail);
    const std::uint64_t tightest_row = 2 * static_cast<std::uint64_t>(width / 63) + std::min(width % 63, 2);
    if (!holds_enough(data_end - kHeaderBytes, tightest_row * static_cast<std::uint64_t>(height)))
        return read_failure(ReadError::truncated);

    ReadResult result;
    if (!allocate_page(result.page, width, height)) return read_failure(ReadError::no_memory);

    // Pixels the data does not reach stay 0.
    const std::size_t written =
        decode_runs(file.subspan(kHeaderBytes, data_end - kHeaderBytes), result.page);

    std::uint8_t gray[256];
    for (int i = 0; i < 256; ++i)
        gray[i] = static_cast<std::uint8_t>(gray_of(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]));
    std::uint8_t* px = result.page.pixels.get();
    for (std::size_t i = 0; i < written; ++i) px[i] = gray[px[i]];
    return result;
}

ReadResult read_pcx(const char* path) {
    FileBytes bytes;
    ReadError error = load_file(path, bytes);
    if (error != ReadError::none) return read_failure(error);
    return decode_pcx(bytes.span());
}

}  // namespace rk
