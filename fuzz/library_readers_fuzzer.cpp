// Fuzz target: the TIFF, JPEG and PNG readers called directly on a file
// written from the input; the first bytes pick the reader, as the store's
// recognition does. Every TIFF directory is read through one handle.
#include <tiffio.h>

#include <cstdint>

#include "fuzz_support.h"
#include "readers.h"

namespace {

// Larger pages decode too slowly for fuzzing; the tests cover them.
constexpr long long kMaxFuzzPixels = 1 << 22;

void touch(const rk::GrayPage& page) {
    if (page.pixels == nullptr) return;
    unsigned sum = 0;
    const std::size_t n = static_cast<std::size_t>(page.width) * page.height;
    for (std::size_t i = 0; i < n; i += 7) sum += page.pixels.get()[i];
    sum += page.pixels.get()[n - 1];
    asm volatile("" : : "r"(sum));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4 || size > 65536) return 0;
    static const std::string path = fuzzsupport::scratch_file("reader-input");
    if (!fuzzsupport::write_file(path, data, size)) return 0;
    if (fuzzsupport::claimed_pixels(data, size, path) > kMaxFuzzPixels) return 0;

    if ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')) {
        int pages = 0;
        TIFF* tiff = rk::tiff_open(path.c_str(), &pages);
        if (tiff == nullptr) return 0;
        for (int i = 0; i < pages && i < 8; ++i) {
            rk::GrayPage page;
            rk::ReadError error = rk::ReadError::none;
            const rk::TiffPageResult r = rk::read_tiff_page(tiff, i, page, &error);
            if (r != rk::TiffPageResult::failed) touch(page);
        }
        TIFFClose(tiff);
    } else if (data[0] == 0xFF && data[1] == 0xD8) {
        const rk::ReadResult r = rk::read_jpeg(path.c_str());
        if (r.ok()) touch(r.page);
    } else if (data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
        const rk::ReadResult r = rk::read_png(path.c_str());
        if (r.ok()) touch(r.page);
    }
    return 0;
}
