// analysis_dump IMAGE OUTDIR [--depth N] [--pass P]: a debugging aid for
// the plate analysis. It loads the image as the programs do, runs the
// candidate stages of pass P (0 by default) to see what they propose and
// keep, then the whole analysis at depth N (3 by default), and writes
//   OUTDIR/page.png     the gray page in colour, with the candidates that
//                       pre-processing proposed (yellow), those that
//                       localisation kept (green) and the fields (red);
//   OUTDIR/field-K.png  the bitmap of field K (1, 2, ... in result order),
//                       ink black on white.
// It prints one line per field. Exit code 0 on success, 1 when the image
// cannot be loaded or a file cannot be written, 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "instance.h"
#include "localise.h"
#include "png_out.h"
#include "preprocess.h"
#include "rasterkit.h"
#include "results.h"
#include "zero_alloc.h"

namespace {

struct Box {
    int left, top, right, bottom;
};

struct Colour {
    unsigned char r, g, b;
};

void usage(const char* program) {
    std::fprintf(stderr, "usage: %s IMAGE OUTDIR [--depth N] [--pass P]\n", program);
}

bool parse_int(const char* text, int lo, int hi, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || v < lo || v > hi) return false;
    *out = static_cast<int>(v);
    return true;
}

std::vector<Box> boxes_of(const seg_result* list) {
    std::vector<Box> out;
    for (const seg_result* r = list; r != nullptr; r = r->next) out.push_back({r->left, r->top, r->right, r->bottom});
    return out;
}

// The rectangles pass p proposes and those localisation keeps, on the main
// instance; its results are cleared again afterwards.
void candidates_of_pass(int p, std::vector<Box>* proposed, std::vector<Box>* kept) {
    rk::AnalysisInstance& a = rk::main_instance();
    SEG_clear_analysis_results();
    a.image = ::videobuffer;
    a.image_bpl = ::BPL;
    a.retry = 0;
    if (rk::prepare_pass(a, p)) {
        *proposed = boxes_of(a.results);
        rk::locate_candidates(a);
        *kept = boxes_of(a.results);
    }
    a.image = ::videobuffer;
    orvo::zero_free(a.smoothbuffer);
    a.smoothbuffer = nullptr;
    SEG_clear_analysis_results();
}

// The page as RGB, gray values repeated.
std::vector<unsigned char> page_rgb() {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(::MAXCOL) * static_cast<std::size_t>(::MAXLIN) * 3);
    for (int y = 0; y < ::MAXLIN; ++y)
        for (int x = 0; x < ::MAXCOL; ++x) {
            const unsigned char v = ::videobuffer[static_cast<std::size_t>(y) * ::BPL + x];
            unsigned char* px = &rgb[(static_cast<std::size_t>(y) * ::MAXCOL + x) * 3];
            px[0] = px[1] = px[2] = v;
        }
    return rgb;
}

void plot(std::vector<unsigned char>& rgb, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= ::MAXCOL || y >= ::MAXLIN) return;
    unsigned char* px = &rgb[(static_cast<std::size_t>(y) * ::MAXCOL + x) * 3];
    px[0] = c.r;
    px[1] = c.g;
    px[2] = c.b;
}

// A frame `thickness` pixels wide along the inside of the inclusive box;
// parts outside the page are left out.
void frame(std::vector<unsigned char>& rgb, const Box& b, Colour c, int thickness) {
    for (int t = 0; t < thickness; ++t) {
        for (int x = b.left + t; x <= b.right - t; ++x) {
            plot(rgb, x, b.top + t, c);
            plot(rgb, x, b.bottom - t, c);
        }
        for (int y = b.top + t; y <= b.bottom - t; ++y) {
            plot(rgb, b.left + t, y, c);
            plot(rgb, b.right - t, y, c);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        usage(argv[0]);
        return 2;
    }
    const std::string image = argv[1];
    const std::filesystem::path outdir = argv[2];
    int depth = 3;
    int pass = 0;
    for (int i = 3; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--depth" && i + 1 < argc && parse_int(argv[i + 1], 1, 5, &depth)) {
            ++i;
        } else if (opt == "--pass" && i + 1 < argc && parse_int(argv[i + 1], 0, 11, &pass)) {
            ++i;
        } else {
            usage(argv[0]);
            return 2;
        }
    }

    SEG_set_image_file(image.c_str());
    if (SEG_open_image() == 0 || ::videobuffer == nullptr || ::MAXCOL < 1 || ::MAXLIN < 1) {
        std::fprintf(stderr, "%s: cannot be loaded\n", image.c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(outdir, ec);

    std::vector<Box> proposed, kept;
    candidates_of_pass(pass, &proposed, &kept);
    SEG_analyze_image(depth);

    std::vector<unsigned char> rgb = page_rgb();
    for (const Box& b : proposed) frame(rgb, b, {255, 220, 0}, 1);
    for (const Box& b : kept) frame(rgb, b, {0, 200, 0}, 2);
    int failures = 0;
    int k = 0;
    for (const seg_result* r = results; r != nullptr; r = r->next) {
        ++k;
        frame(rgb, {r->left, r->top, r->right, r->bottom}, {255, 0, 0}, 2);
        const std::string name = "field-" + std::to_string(k) + ".png";
        std::printf("field %d: page %d,%d .. %d,%d, bitmap %d x %d\n", k, r->left, r->top, r->right, r->bottom,
                    r->columns, r->lines);
        if (!dump::write_bitmap_png((outdir / name).string(), r->columns, r->lines, r->bitmap, r->bpl)) {
            std::fprintf(stderr, "%s: cannot be written\n", (outdir / name).c_str());
            ++failures;
        }
    }
    std::printf("page %d x %d (scale %d, %d): pass %d proposed %zu candidates, kept %zu; depth %d found %d fields\n",
                ::MAXCOL, ::MAXLIN, ::XSCALE, ::YSCALE, pass, proposed.size(), kept.size(), depth, k);
    if (!dump::write_rgb_png((outdir / "page.png").string(), ::MAXCOL, ::MAXLIN, rgb)) {
        std::fprintf(stderr, "%s: cannot be written\n", (outdir / "page.png").c_str());
        ++failures;
    }
    SEG_clear_analysis_results();
    SEG_close_image();
    return failures ? 1 : 0;
}
