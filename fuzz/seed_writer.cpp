// fuzz_seed_writer DIR: writes the seed corpus of the fuzz targets whose
// inputs are not plain image files of one kind (the image store and
// own-format seeds come from make_samples --seeds): small valid files of
// every kind, each target's seeds in DIR/TARGET.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_glyphs.h"
#include "glyphnet.h"
#include "library_writers.h"
#include "orvosys.h"
#include "own_format_writers.h"
#include "plate_scene.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

bool save(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

Bytes text_bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

testsupport::IndexedImage gray_indexed(const testsupport::GrayImage& g) {
    testsupport::IndexedImage out;
    out.width = g.width;
    out.height = g.height;
    out.indices = g.pixels;
    for (int i = 0; i < 256; ++i) {
        auto v = static_cast<std::uint8_t>(i);
        out.palette.push_back({v, v, v});
    }
    return out;
}

bool library_reader_seeds(const fs::path& dir) {
    const testsupport::RgbImage small = samples::draw_scene({48, 24, "H4", 11, true});
    const testsupport::GrayImage gray = samples::to_gray(small);
    bool ok = true;
    ok &= testsupport::write_jpeg((dir / "colour.jpg").string(), small, 75);
    ok &= testsupport::write_jpeg((dir / "gray.jpg").string(), gray, 75);
    ok &= testsupport::write_png((dir / "rgb.png").string(), small);
    testsupport::PngOptions palette;
    palette.colour_type = 3;
    palette.palette_alpha = {0, 128, 255};
    std::vector<std::uint16_t> indices;
    std::vector<testsupport::Rgb> colours;
    for (int i = 0; i < 16; ++i) colours.push_back({static_cast<std::uint8_t>(i * 16), 40, 200});
    for (std::uint8_t g : gray.pixels) indices.push_back(g / 16);
    ok &= testsupport::write_png((dir / "palette.png").string(), gray.width, gray.height, indices, palette, colours);
    testsupport::PngOptions sixteen;
    sixteen.colour_type = 4;
    sixteen.bit_depth = 16;
    sixteen.interlaced = true;
    sixteen.with_background = true;
    sixteen.background[0] = 30000;
    std::vector<std::uint16_t> ga;
    for (std::uint8_t g : gray.pixels) ga.insert(ga.end(), {static_cast<std::uint16_t>(g * 257), 40000});
    ok &= testsupport::write_png((dir / "gray-alpha16.png").string(), gray.width, gray.height, ga, sixteen);
    testsupport::TiffPage deflate = testsupport::tiff_gray_page(gray);
    deflate.compression = 8;
    ok &= testsupport::write_tiff((dir / "three.tif").string(),
                                  {testsupport::tiff_rgb_page(small), deflate,
                                   testsupport::tiff_palette_page(gray_indexed(gray))});
    return ok;
}

testsupport::PngOptions gray_png() {
    testsupport::PngOptions o;
    o.colour_type = 0;
    return o;
}

bool analysis_seeds(const fs::path& dir) {
    const testsupport::GrayImage g = samples::to_gray(samples::draw_scene({160, 64, "HE 47", 12, false}));
    bool ok = true;
    ok &= testsupport::write_png((dir / "plate.png").string(), g.width, g.height,
                                 std::vector<std::uint16_t>(g.pixels.begin(), g.pixels.end()),
                                 gray_png());
    ok &= testsupport::write_jpeg((dir / "plate.jpg").string(), g, 85);
    ok &= testsupport::write_tiff((dir / "plate.tif").string(), {testsupport::tiff_gray_page(g)});
    ok &= save(dir / "plate.pgm", testsupport::pgm_file(g));
    ok &= save(dir / "plate.bmp", testsupport::bmp_file(gray_indexed(g)));
    return ok;
}

// A knowledge base taught from the drawn glyphs, in a folder of its own.
bool taught_base(const testsupport::TempDir& tmp, Bytes& kbf, Bytes& dat) {
    osys_set_message_presenter([](void*, const char*, const char*, unsigned) { return 1; }, nullptr, nullptr);
    const std::string list = tmp.file("list");
    testsupport::write_bytes(list, text_bytes("[0] " + tmp.file("k.kbf") + "\r\n"));
    ocr_io* io = OCR_init(list.c_str(), 0);
    if (io == nullptr) return false;
    io->kb_index = 1;
    for (char c : std::string("HE47")) {
        fuzzglyphs::Bitmap b(27, 35);
        fuzzglyphs::draw(b, c, 4, 4, 3);
        testsupport::show_whole_field(io, b);
        OCR_recognize_field();
        std::snprintf(io->taught_class, sizeof io->taught_class, "%c", c);
        fuzzglyphs::set_shown(io->shown_class, io->text);
        OCR_learn_char();
    }
    OCR_cleanup();
    kbf = testsupport::read_bytes(tmp.file("k.kbf"));
    dat = testsupport::read_bytes(tmp.file("k.dat"));
    return !kbf.empty() && !dat.empty();
}

Bytes kb_input(std::uint8_t flags, const std::string& list, const Bytes& kbf, const Bytes& dat) {
    Bytes in = {flags, static_cast<std::uint8_t>(list.size()), static_cast<std::uint8_t>(list.size() >> 8),
                static_cast<std::uint8_t>(kbf.size()), static_cast<std::uint8_t>(kbf.size() >> 8)};
    in.insert(in.end(), list.begin(), list.end());
    in.insert(in.end(), kbf.begin(), kbf.end());
    in.insert(in.end(), dat.begin(), dat.end());
    return in;
}

bool kb_seeds(const fs::path& dir) {
    testsupport::TempDir tmp;
    Bytes kbf, dat;
    if (!taught_base(tmp, kbf, dat)) return false;
    bool ok = true;
    ok &= save(dir / "plain", kb_input(0, "[0] k.kbf\r\n", kbf, dat));
    ok &= save(dir / "typed-learn", kb_input(1 | ('T' - 0x40) << 2, "  [ 2 ] = k.kbf  \r\n\r\n[1] k.kbf\r\n", kbf, dat));
    ok &= save(dir / "unlearn", kb_input(2 | ('H' - 0x40) << 2, "[250] k.kbf\r\nk.kbf", kbf, dat));
    ok &= save(dir / "no-patterns", kb_input(3 | ('E' - 0x40) << 2, "k.kbf\r\n", kbf, {}));
    return ok;
}

bool field_seeds(const fs::path& dir) {
    bool ok = true;
    struct Seed {
        const char* name;
        const char* text;
        int scale;
        std::uint8_t kind, flags;
        std::string templ;
    };
    const Seed seeds[] = {{"plate", "HE 47", 4, 0, 0, ""},     {"digits", "470", 3, 1, 2, ""},
                          {"letters", "LET", 5, 2, 4, "noblan"}, {"one", "H", 5, 3, 0, ""},
                          {"gaps", "TH 0", 3, 0, 1, "AA9"}};
    for (const Seed& s : seeds) {
        const int w = 6 * s.scale * static_cast<int>(std::strlen(s.text)) + 10;
        const int h = 7 * s.scale + 12;
        fuzzglyphs::Bitmap b(w, h);
        fuzzglyphs::draw_text(b, s.text, 5, 6, s.scale);
        Bytes in = {static_cast<std::uint8_t>(w - 1), static_cast<std::uint8_t>(h - 1), s.kind, s.flags, 0, 0, 0, 0,
                    static_cast<std::uint8_t>(s.templ.size())};
        in.insert(in.end(), s.templ.begin(), s.templ.end());
        in.insert(in.end(), b.bits.begin(), b.bits.end());
        ok &= save(dir / s.name, in);
    }
    return ok;
}

bool ini_seeds(const fs::path& dir) {
    bool ok = true;
    ok &= save(dir / "settings.ini",
               text_bytes("[last_used]\r\nimage_file=C:\\pics\\car.jpg\r\nkb_file=plates.kbf\r\nanalysis_depth=3\r\n"));
    ok &= save(dir / "spaced.ini", text_bytes("  [ Last_Used ]\n  KB_FILE =  a b  \nslide_delay=12x\n[other]\nkey\n=v\n"));
    ok &= save(dir / "two.ini", text_bytes("[last_used]\nkb_file=1\n[last_used]\nkb_file=2\n[]\n=\n"));
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seed_writer DIR\n");
        return 2;
    }
    const fs::path root(argv[1]);
    bool ok = true;
    const std::pair<const char*, bool (*)(const fs::path&)> writers[] = {
        {"library_readers", library_reader_seeds}, {"image_analysis", analysis_seeds},
        {"kb_loaders", kb_seeds},                 {"recognize_field", field_seeds},
        {"ini_reader", ini_seeds}};
    for (const auto& [name, write] : writers) {
        std::error_code ec;
        fs::create_directories(root / name, ec);
        if (ec || !write(root / name)) {
            std::fprintf(stderr, "fuzz_seed_writer: writing the %s seeds failed\n", name);
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
