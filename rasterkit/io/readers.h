// The image readers. Each takes the path of a file whose format the store
// has recognised from its first bytes and either delivers a new page or
// says why it refused the file. No reader shows anything.
//
// The own-format decoders also work on a byte span, so that tests and
// fuzzers can drive them without files; they never read past the span and
// never write past the page.
#pragma once

#include <cstdint>
#include <span>

#include "gray_page.h"
#include "read_status.h"

typedef struct tiff TIFF;

namespace rk {

struct ReadResult {
    ReadError error = ReadError::none;
    GrayPage page;

    bool ok() const { return error == ReadError::none; }
};

inline ReadResult read_failure(ReadError error) {
    ReadResult r;
    r.error = error;
    return r;
}

// BMP, PGM and ITEX: one reader that branches on the first byte ('I' ITEX,
// 'P' PGM, otherwise BMP). Files of 64 bytes or fewer are refused.
ReadResult read_bmp_pgm_itex(const char* path);
ReadResult decode_bmp_pgm_itex(std::span<const std::uint8_t> file);
ReadResult decode_bmp(std::span<const std::uint8_t> file);
ReadResult decode_pgm(std::span<const std::uint8_t> file);
ReadResult decode_itex(std::span<const std::uint8_t> file);

// PCX version 5 with a 256-colour palette at the end.
ReadResult read_pcx(const char* path);
ReadResult decode_pcx(std::span<const std::uint8_t> file);

// JPEG through libjpeg, decompressed to gray.
ReadResult read_jpeg(const char* path);

// PNG through libpng, composited over its background and turned to gray.
ReadResult read_png(const char* path);

// TIFF: the store opens the file and keeps the handle; pages are read one
// by one through it.
// Opens `path` with libtiff and counts its directories into *pages;
// returns null when libtiff cannot open it.
TIFF* tiff_open(const char* path, int* pages);

enum class TiffPageResult { ok, failed, partial };

// Reads directory `index` of the open file into `page`. On `partial` (a
// scanline read error) the page holds the rows read so far and zeros after
// them. `error` receives the cause of a failure.
TiffPageResult read_tiff_page(TIFF* tiff, int index, GrayPage& page, ReadError* error);

}  // namespace rk
