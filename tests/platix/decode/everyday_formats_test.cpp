// Everyday files (netpbm, CMYK JPEG, 16-bit TIFF, EXIF orientation) and refusals: unsupported versus damaged.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <jpeglib.h>

#include "library_writers.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace {

const std::string kSample = std::string(PLATIX_SOURCE_DIR) + "/data/samples/scene00001.jpg";

// The gray picture as JPEG: plain gray, or Adobe CMYK (stored inverted, all ink in black), with an EXIF
// orientation tag when asked.
void write_jpeg(const std::string& path, const Gray& g, bool cmyk, int orientation) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = static_cast<JDIMENSION>(g.w), c.image_height = static_cast<JDIMENSION>(g.h);
    c.input_components = cmyk ? 4 : 1, c.in_color_space = cmyk ? JCS_CMYK : JCS_GRAYSCALE;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 100, TRUE);
    jpeg_start_compress(&c, TRUE);
    if (orientation != 0) {  // an EXIF block of one big-endian entry: Orientation (0x0112), a short
        std::string exif("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0", 32);
        exif[25] = static_cast<char>(orientation);
        jpeg_write_marker(&c, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()), 32);
    }
    std::vector<unsigned char> row(static_cast<std::size_t>(g.w) * (cmyk ? 4 : 1), 255);
    for (JSAMPROW r = row.data(); c.next_scanline < c.image_height; jpeg_write_scanlines(&c, &r, 1))
        for (int x = 0; x < g.w; ++x) row[cmyk ? 4 * x + 3 : x] = g.px[static_cast<std::size_t>(c.next_scanline) * g.w + x];
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);
}

void write_tiff16(const std::string& path, const Gray& g) {
    testsupport::TiffPage page;
    page.width = g.w, page.height = g.h, page.bits = 16;
    for (const unsigned char v : g.px) page.samples_data.insert(page.samples_data.end(), 2, v);  // v * 257 in either order
    ASSERT_TRUE(testsupport::write_tiff(path, {page}));
}

void write_text(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The picture stored turned a quarter to the left: shown upright with EXIF orientation 6.
Gray stored_for_orientation_6(const Gray& up) {
    Gray s{up.h, up.w, std::vector<unsigned char>(up.px.size())};
    for (int y = 0; y < up.h; ++y)
        for (int x = 0; x < up.w; ++x) s.px[static_cast<std::size_t>(up.w - 1 - x) * s.w + y] = up.px[static_cast<std::size_t>(y) * up.w + x];
    return s;
}

// The JSON line without the file name and the time.
std::string reading_of(const std::string& json) {
    std::string out = json.substr(std::min(json.size(), json.find("\"width\"")));
    const auto ms = out.find("\"ms\": ");
    return ms == std::string::npos ? out : out.erase(ms, out.find(',', ms) - ms);
}

}  // namespace

TEST(PlatixEverydayFiles, ReadLikeTheSamePixelsInAFileTheLibraryReads) {
    testsupport::TempDir dir;  // the box reader: a last grey level of rounding does not change its 1-bit fields
    ASSERT_EQ(platix("synth --image-format png --count 1 --seed 5 --out " + dir.file("s"), dir.path()).status, 0);
    const Gray g = read_gray(dir.file("s/scene00001.png"));
    ASSERT_GT(g.w, 0);
    write_gray(dir.file("reference.png"), g);
    const ToolRun reference = platix("read -q --reader box --format json " + dir.file("reference.png"), dir.path());
    ASSERT_TRUE(reference.status == 0 && reference.out.find("\"text\": \"") != std::string::npos) << reference.err << reference.out;

    write_text(dir.file("one_line.pgm"), "P5 " + std::to_string(g.w) + " " + std::to_string(g.h) +
                                             " # made by the test\n255\n" + std::string(g.px.begin(), g.px.end()));
    std::string plain = "P2\n# plain\n" + std::to_string(g.w) + " " + std::to_string(g.h) + "\n255\n";
    for (std::size_t i = 0; i < g.px.size(); ++i) plain += std::to_string(g.px[i]) + ((i + 1) % 16 ? " " : "\n");
    write_text(dir.file("plain.pgm"), plain);
    write_tiff16(dir.file("deep.tif"), g);
    write_jpeg(dir.file("cmyk.jpg"), g, true, 0);
    for (const char* name : {"one_line.pgm", "plain.pgm", "deep.tif", "cmyk.jpg"}) {
        const ToolRun r = platix("read -q --reader box --format json " + dir.file(name), dir.path());
        EXPECT_TRUE(r.status == 0 && r.err.empty()) << name << r.err;
        EXPECT_EQ(reading_of(r.out), reading_of(reference.out)) << name;
    }
    // A portrait phone picture: stored on its side, upright by its EXIF tag.
    write_jpeg(dir.file("upright.jpg"), g, false, 0);
    write_jpeg(dir.file("turned.jpg"), stored_for_orientation_6(g), false, 6);
    const ToolRun upright = platix("read -q --reader box --format json " + dir.file("upright.jpg"), dir.path()),
                  turned = platix("read -q --reader box --format json " + dir.file("turned.jpg"), dir.path());
    EXPECT_EQ(turned.status, 0) << turned.err;
    EXPECT_EQ(reading_of(turned.out), reading_of(upright.out));
}

TEST(PlatixEverydayFiles, UnsupportedIsToldFromDamaged) {
    testsupport::TempDir dir;
    std::string pcx(128, '\0');
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 3;
    const auto sample = testsupport::read_bytes(kSample);
    const std::string head(sample.begin(), sample.begin() + 600);
    const struct { const char* name; std::string bytes; const char* message; } cases[] = {
        {"three_planes.pcx", pcx + std::string(64, '\x11'), "unsupported PCX layout (3 colour planes)"},
        {"anim.gif", "GIF89a" + std::string(40, '\0'), "unsupported format: GIF"},
        {"cut.jpg", head, "damaged JPEG file"},
        {"bad.pgm", "P5\n# no size\nxx yy\n255\n" + std::string(40, 'a'), "damaged netpbm file"},
        {"bad.tif", "II*\0" + std::string("\xff\xff\xff\x7f", 4) + std::string(40, '\0'), "damaged TIFF file"},
    };
    for (const auto& c : cases) {
        write_text(dir.file(c.name), c.bytes);
        const ToolRun r = platix("read -q " + dir.file(c.name), dir.path());
        EXPECT_TRUE(r.status == 1 && r.err.rfind("platix: " + dir.file(c.name) + ": " + c.message, 0) == 0) << r.err;
    }
}
