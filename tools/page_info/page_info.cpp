// page_info FILE...: loads each image file as the programs do and prints its
// format, its size in bytes, the size of the picture in the file and the
// size of the normalised page with its scale factors. Exit code 1 when a
// file could not be loaded.
#include <sys/stat.h>

#include <cstdio>

#include "image_store.h"
#include "rasterkit.h"

namespace {

// Size of the picture in the file, from the page and its factors.
int file_side(int page_side, int scale) {
    if (scale < 0) return page_side * -scale;
    return scale > 0 ? page_side / scale : page_side;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s IMAGE...\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const char* path = argv[i];
        struct stat st {};
        long long bytes = stat(path, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
        SEG_set_image_file(path);
        int opened = SEG_open_image();
        if (opened == 0 || videobuffer == nullptr) {
            std::printf("%s: cannot be loaded (%s)\n", path,
                        bytes < 0 ? "no such file" : "unknown format or damaged file");
            ++failures;
            continue;
        }
        std::printf("%s: %s, %lld bytes, %d x %d in the file, page %d x %d (scale %d, %d)%s\n", path,
                    rk::format_name(rk::current_format()), bytes, file_side(MAXCOL, XSCALE),
                    file_side(MAXLIN, YSCALE), MAXCOL, MAXLIN, XSCALE, YSCALE,
                    opened == 2 ? ", cut short by a read error" : "");
        if (n_pages > 1) std::printf("  page %d of %d\n", crt_page, n_pages);
    }
    SEG_close_image();
    return failures ? 1 : 0;
}
