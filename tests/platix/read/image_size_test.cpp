// Image sizes read from the headers of the formats that have simple ones.
#include <gtest/gtest.h>

#include "image_size.h"
#include "library_writers.h"
#include "own_format_writers.h"
#include "temp_dir.h"

using namespace platix;

namespace {

testsupport::RgbImage picture(int w, int h) {
    testsupport::RgbImage im;
    im.width = w;
    im.height = h;
    im.pixels.assign(static_cast<std::size_t>(w * h), testsupport::Rgb{10, 200, 30});
    return im;
}

}  // namespace

TEST(ImageFileSize, ReadsPngJpegBmpAndPgm) {
    testsupport::TempDir dir;
    int w = 0, h = 0;
    ASSERT_TRUE(testsupport::write_png(dir.file("a.png"), picture(37, 21)));
    ASSERT_TRUE(image_file_size(dir.file("a.png"), &w, &h));
    EXPECT_EQ(w, 37);
    EXPECT_EQ(h, 21);
    ASSERT_TRUE(testsupport::write_jpeg(dir.file("a.jpg"), picture(301, 17)));
    ASSERT_TRUE(image_file_size(dir.file("a.jpg"), &w, &h));
    EXPECT_EQ(w, 301);
    EXPECT_EQ(h, 17);
    testsupport::BmpOptions top_down;
    top_down.top_down = true;
    testsupport::write_bytes(dir.file("a.bmp"), testsupport::bmp_file(picture(5, 9), 24, top_down));
    ASSERT_TRUE(image_file_size(dir.file("a.bmp"), &w, &h));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 9);
    const std::string pgm = "P5\n# comment\n12 7\n255\n";
    std::vector<std::uint8_t> bytes(pgm.begin(), pgm.end());
    bytes.resize(bytes.size() + 84, 0);
    testsupport::write_bytes(dir.file("a.pgm"), bytes);
    ASSERT_TRUE(image_file_size(dir.file("a.pgm"), &w, &h));
    EXPECT_EQ(w, 12);
    EXPECT_EQ(h, 7);
    testsupport::write_bytes(dir.file("a.img"), testsupport::itex_file(testsupport::GrayImage{300, 2, std::vector<std::uint8_t>(600, 1)}));
    ASSERT_TRUE(image_file_size(dir.file("a.img"), &w, &h));
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 2);
    testsupport::IndexedImage ind{70, 3, std::vector<std::uint8_t>(210, 0), {}};
    ind.palette.assign(256, testsupport::Rgb{1, 2, 3});
    testsupport::write_bytes(dir.file("a.pcx"), testsupport::pcx_file(ind));
    ASSERT_TRUE(image_file_size(dir.file("a.pcx"), &w, &h));
    EXPECT_EQ(w, 70);
    EXPECT_EQ(h, 3);
}

TEST(ImageFileSize, RefusesTruncatedAndUnknownFiles) {
    testsupport::TempDir dir;
    int w = -1, h = -1;
    testsupport::write_bytes(dir.file("short.png"), {0x89, 'P', 'N', 'G', 0x0D, 0x0A});
    EXPECT_FALSE(image_file_size(dir.file("short.png"), &w, &h));
    testsupport::write_bytes(dir.file("jpeg"), {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10});
    EXPECT_FALSE(image_file_size(dir.file("jpeg"), &w, &h));
    testsupport::write_bytes(dir.file("x.gif"), {'G', 'I', 'F', '8', '9', 'a'});
    EXPECT_FALSE(image_file_size(dir.file("x.gif"), &w, &h));
    EXPECT_FALSE(image_file_size(dir.file("none"), &w, &h));
    EXPECT_EQ(w, -1);
}
