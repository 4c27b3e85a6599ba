// make_samples DIR: writes the demo images, one synthetic plate scene in
// each supported format and at sizes that exercise the normalisation.
// make_samples --seeds DIR: writes the fuzzing seed corpus, small valid
// files of every kind, into DIR/NAME.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library_writers.h"
#include "own_format_writers.h"
#include "plate_scene.h"

namespace {

namespace fs = std::filesystem;
using testsupport::IndexedImage;
using testsupport::RgbImage;

bool save(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

// The gray of each pixel as a palette index into a gray ramp.
IndexedImage gray_indexed(const RgbImage& image) {
    testsupport::GrayImage g = samples::to_gray(image);
    IndexedImage out;
    out.width = g.width;
    out.height = g.height;
    out.indices = g.pixels;
    for (int i = 0; i < 256; ++i) {
        auto v = static_cast<std::uint8_t>(i);
        out.palette.push_back({v, v, v});
    }
    return out;
}

bool write_samples(const fs::path& dir) {
    bool ok = true;
    auto scene = [](int w, int h, const char* text, std::uint32_t seed, bool colour = true) {
        return samples::draw_scene({w, h, text, seed, colour});
    };
    ok &= save(dir / "street.bmp", testsupport::bmp_file(scene(800, 600, "AB 123", 1), 24));
    ok &= save(dir / "garage.pcx", testsupport::pcx_file(gray_indexed(scene(1024, 768, "KM 4570", 2))));
    ok &= save(dir / "gate.pgm", testsupport::pgm_file(samples::to_gray(scene(640, 240, "ZX 88", 3, false))));
    ok &= save(dir / "camera.img", testsupport::itex_file(samples::to_gray(scene(2000, 1200, "TR 2024", 4, false))));
    ok &= testsupport::write_jpeg((dir / "parking.jpg").string(), scene(1920, 1080, "PK 9021", 5), 90);
    ok &= testsupport::write_png((dir / "crossing.png").string(), scene(400, 300, "HT 55", 6));
    ok &= testsupport::write_tiff((dir / "sequence.tif").string(),
                                  {testsupport::tiff_rgb_page(scene(800, 600, "SD 1001", 7)),
                                   testsupport::tiff_gray_page(samples::to_gray(scene(800, 600, "SD 1002", 8)))});
    if (!ok) std::fprintf(stderr, "make_samples: writing the samples failed\n");
    return ok;
}

bool write_seeds(const fs::path& dir) {
    bool ok = true;
    fs::create_directories(dir / "own_format_decoders");
    fs::create_directories(dir / "image_store");
    const RgbImage small = samples::draw_scene({40, 24, "A1", 9, true});
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> own = {
        {"bmp8.bmp", testsupport::bmp_file(gray_indexed(small))},
        {"bmp16.bmp", testsupport::bmp_file(small, 16)},
        {"bmp24.bmp", testsupport::bmp_file(small, 24)},
        {"bmp32-topdown.bmp", testsupport::bmp_file(small, 32, {.top_down = true})},
        {"gray.pcx", testsupport::pcx_file(gray_indexed(small))},
        {"gray.pgm", testsupport::pgm_file(samples::to_gray(small))},
        {"gray.img", testsupport::itex_file(samples::to_gray(small))},
    };
    for (const auto& [name, bytes] : own) {
        ok &= save(dir / "own_format_decoders" / name, bytes);
        ok &= save(dir / "image_store" / name, bytes);
    }
    const fs::path store = dir / "image_store";
    ok &= testsupport::write_jpeg((store / "colour.jpg").string(), small, 80);
    ok &= testsupport::write_jpeg((store / "gray.jpg").string(), samples::to_gray(small), 80);
    ok &= testsupport::write_png((store / "rgb.png").string(), small);
    testsupport::PngOptions alpha;
    alpha.colour_type = 6;
    alpha.with_background = true;
    alpha.background[0] = 100;
    alpha.file_gamma = 0.45;
    std::vector<std::uint16_t> rgba;
    for (const auto& c : small.pixels) rgba.insert(rgba.end(), {c.r, c.g, c.b, static_cast<std::uint16_t>(c.r / 2)});
    ok &= testsupport::write_png((store / "rgba.png").string(), small.width, small.height, rgba, alpha);
    testsupport::PngOptions low;
    low.colour_type = 0;
    low.bit_depth = 2;
    std::vector<std::uint16_t> grays;
    for (const auto& c : small.pixels) grays.push_back(static_cast<std::uint16_t>(c.g >> 6));
    ok &= testsupport::write_png((store / "gray2.png").string(), small.width, small.height, grays, low);
    testsupport::TiffPage deflate = testsupport::tiff_gray_page(samples::to_gray(small));
    deflate.compression = 8;
    ok &= testsupport::write_tiff((store / "pages.tif").string(),
                                  {testsupport::tiff_rgb_page(small), deflate});
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    bool seeds = argc == 3 && std::string(argv[1]) == "--seeds";
    if (!(argc == 2 || seeds)) {
        std::fprintf(stderr, "usage: make_samples DIR | make_samples --seeds DIR\n");
        return 2;
    }
    fs::path dir(argv[argc - 1]);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "make_samples: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    return (seeds ? write_seeds(dir) : write_samples(dir)) ? 0 : 1;
}
