// The reader for BMP, PGM and ITEX files: loads the whole file and hands it
// to the decoder chosen by the first byte.
#include "file_bytes.h"
#include "readers.h"

namespace rk {
namespace {

// Files of this many bytes or fewer hold no picture worth reading.
constexpr std::size_t kMinFileBytes = 64;

}  // namespace

ReadResult decode_bmp_pgm_itex(std::span<const std::uint8_t> file) {
    if (file.size() <= kMinFileBytes) return read_failure(ReadError::too_short);
    // The store has recognised "IM", "P5" or "BM"; the first byte decides.
    if (file[0] == 'I') return decode_itex(file);
    if (file[0] == 'P') return decode_pgm(file);
    return decode_bmp(file);
}

ReadResult read_bmp_pgm_itex(const char* path) {
    FileBytes bytes;
    ReadError error = load_file(path, bytes);
    if (error != ReadError::none) return read_failure(error);
    return decode_bmp_pgm_itex(bytes.span());
}

}  // namespace rk
