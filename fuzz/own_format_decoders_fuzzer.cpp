// Fuzz target: the BMP, PGM, ITEX and PCX decoders on raw bytes. The first
// byte of the input picks the decoder so that one corpus serves all four.
// Pages that claim more than 2^22 pixels are skipped: a few bytes can
// announce a page of 2^28 pixels, whose decoding and checking take seconds
// and say nothing new (the hostile-image tests load the largest page once).
#include <cstdint>
#include <span>

#include "fuzz_support.h"
#include "readers.h"

namespace {

constexpr long long kMaxFuzzPixels = 1 << 22;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (fuzzsupport::claimed_pixels(data, size, std::string()) > kMaxFuzzPixels) return 0;
    std::span<const std::uint8_t> bytes(data, size);
    rk::ReadResult r = (size > 0 && data[0] == 0x0A) ? rk::decode_pcx(bytes)
                                                     : rk::decode_bmp_pgm_itex(bytes);
    if (r.ok()) {
        // Touch every pixel so that a page shorter than its size shows up.
        unsigned sum = 0;
        const std::size_t n = static_cast<std::size_t>(r.page.width) * r.page.height;
        for (std::size_t i = 0; i < n; ++i) sum += r.page.pixels.get()[i];
        asm volatile("" : : "r"(sum));
    }
    return 0;
}
