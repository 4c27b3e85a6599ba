// Fuzz target: any file through the image store, as the programs load it:
// the input is written to a file, set, and every page opened. Files whose
// header claims more than 2^22 pixels are skipped: they take seconds each
// under the sanitizers and the hostile-image tests load the largest page.

#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "rasterkit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzzsupport::scratch_file("input");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (fuzzsupport::claimed_pixels(data, size, path) > (1 << 22)) return 0;

    if (SEG_set_image_file(path.c_str())) {
        for (int page = 0; page < 4 && crt_page < n_pages; ++page) {
            int r = SEG_open_image();
            if (r == 0) break;
            unsigned sum = 0;
            for (long i = 0; i < static_cast<long>(MAXLIN) * BPL; i += 61) sum += videobuffer[i];
            asm volatile("" : : "r"(sum));
            if (r == 2) break;
        }
    }
    SEG_close_image();
    return 0;
}
