// Pictures sent as bytes (the service, the queue worker): a PNG's header alone, its gray pixels, a cut one.
#include <gtest/gtest.h>

#include "decode/decoded_page.h"
#include "library_writers.h"
#include "temp_dir.h"

using namespace platix::decode;

TEST(DecodeBytes, PngHeaderAloneThenGrayPixelsAndACutFileIsDamaged) {
    testsupport::TempDir dir;
    const testsupport::RgbImage picture{3, 1, {{255, 255, 255}, {0, 0, 0}, {255, 255, 255}}};
    ASSERT_TRUE(testsupport::write_png(dir.file("p.png"), picture));
    const std::vector<std::uint8_t> bytes = testsupport::read_bytes(dir.file("p.png"));
    const Decoded header = decode_bytes(bytes, true), page = decode_bytes(bytes, false);
    EXPECT_TRUE(header.outcome == Outcome::decoded && header.image.width == 3 && header.image.pixels.empty());
    ASSERT_EQ(page.outcome, Outcome::decoded);
    EXPECT_EQ(page.image.pixels, (std::vector<std::uint8_t>{255, 0, 255}));
    EXPECT_EQ(decode_bytes({bytes.begin(), bytes.begin() + 40}, false).outcome, Outcome::damaged);
}
