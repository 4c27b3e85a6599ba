// Image sizes read from the headers of the formats that have simple ones.
#include <gtest/gtest.h>

#include <tuple>

#include "image_size.h"
#include "library_writers.h"
#include "own_format_writers.h"
#include "temp_dir.h"

using namespace platix;

TEST(ImageFileSize, ReadsEachFormatsHeaderAndRefusesTruncatedAndUnknownFiles) {
    testsupport::TempDir dir;
    const auto picture = [](int w, int h) {
        return testsupport::RgbImage{w, h, std::vector<testsupport::Rgb>(static_cast<std::size_t>(w * h), {10, 200, 30})};
    };
    ASSERT_TRUE(testsupport::write_png(dir.file("a.png"), picture(37, 21)));
    ASSERT_TRUE(testsupport::write_jpeg(dir.file("a.jpg"), picture(301, 17)));
    const testsupport::BmpOptions top_down{.top_down = true};
    testsupport::write_bytes(dir.file("a.bmp"), testsupport::bmp_file(picture(5, 9), 24, top_down));
    const std::string pgm = "P5\n# comment\n12 7\n255\n" + std::string(84, '\0');
    testsupport::write_bytes(dir.file("a.pgm"), std::vector<std::uint8_t>(pgm.begin(), pgm.end()));
    testsupport::write_bytes(dir.file("a.img"), testsupport::itex_file(testsupport::GrayImage{300, 2, std::vector<std::uint8_t>(600, 1)}));
    testsupport::IndexedImage ind{70, 3, std::vector<std::uint8_t>(210, 0), {}};
    ind.palette.assign(256, testsupport::Rgb{1, 2, 3});
    testsupport::write_bytes(dir.file("a.pcx"), testsupport::pcx_file(ind));
    const std::tuple<const char*, int, int> cases[] = {{"a.png", 37, 21}, {"a.jpg", 301, 17}, {"a.bmp", 5, 9},
                                                        {"a.pgm", 12, 7},  {"a.img", 300, 2}, {"a.pcx", 70, 3}};
    for (const auto& [name, cw, ch] : cases) {
        int w = 0, h = 0;
        EXPECT_TRUE(image_file_size(dir.file(name), &w, &h) && w == cw && h == ch) << name << ": " << w << " x " << h;
    }
    testsupport::write_bytes(dir.file("short.png"), {0x89, 'P', 'N', 'G', 0x0D, 0x0A});
    testsupport::write_bytes(dir.file("jpeg"), {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10});
    testsupport::write_bytes(dir.file("x.gif"), {'G', 'I', 'F', '8', '9', 'a'});
    for (const char* name : {"short.png", "jpeg", "x.gif", "none"}) {
        int w = -1, h = -1;
        EXPECT_TRUE(!image_file_size(dir.file(name), &w, &h) && w == -1) << name;
    }
}
