// PCX decoding: run-length data into palette grays, runs cut at the row
// end, no row padding, the palette at the end, and refusal of headers,
// sizes and files the reader does not take.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "own_format_writers.h"
#include "readers.h"
#include "zero_alloc.h"

namespace {

using testsupport::IndexedImage;
using testsupport::PcxOptions;
using testsupport::Rgb;
using Bytes = std::vector<std::uint8_t>;

Bytes page_pixels(const rk::ReadResult& r) {
    const std::uint8_t* p = r.page.pixels.get();
    return Bytes(p, p + static_cast<std::size_t>(r.page.width) * r.page.height);
}

// Palette entry i is gray 255 - i, so that a page shows which index each
// pixel held (and index 0 is white, unlike a missing pixel).
std::vector<Rgb> inverse_palette() {
    std::vector<Rgb> p;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<std::uint8_t>(255 - i);
        p.push_back({v, v, v});
    }
    return p;
}

// A PCX file of width x height with the given run-length data.
Bytes pcx_with_data(int width, int height, const Bytes& data) {
    IndexedImage img{width, height, Bytes(static_cast<std::size_t>(width) * height, 0), inverse_palette()};
    Bytes f = testsupport::pcx_file(img);
    Bytes out(f.begin(), f.begin() + testsupport::kPcxHeaderBytes);
    out.insert(out.end(), data.begin(), data.end());
    out.insert(out.end(), f.end() - 769, f.end());
    return out;
}

Bytes inverse(const Bytes& indices) {
    Bytes g;
    for (std::uint8_t i : indices) g.push_back(static_cast<std::uint8_t>(255 - i));
    return g;
}

// ---------------------------------------------------------------------------

TEST(PcxReaderDecodes, IndicesThroughThePaletteToGray) {
    IndexedImage img{3, 2, {0, 1, 2, 2, 1, 0}, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
    rk::ReadResult r = rk::decode_pcx(testsupport::pcx_file(img));
    ASSERT_TRUE(r.ok()) << rk::read_error_name(r.error);
    EXPECT_EQ(r.page.width, 3);
    EXPECT_EQ(r.page.height, 2);
    EXPECT_EQ(page_pixels(r), (Bytes{76, 149, 29, 29, 149, 76}));
}

TEST(PcxReaderDecodes, RunsAndLiteralsOfAVariedPicture) {
    IndexedImage img{70, 5, {}, inverse_palette()};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 70; ++x)  // long runs, bytes of 0xC0 and up, single values
            img.indices.push_back(static_cast<std::uint8_t>(x < 65 ? (y * 50 + 200) % 256 : x * 3 + y));
    Bytes f = testsupport::pcx_file(img);
    rk::ReadResult r = rk::decode_pcx(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse(img.indices));
}

TEST(PcxReaderDecodes, WindowOriginOnlySetsTheSize) {
    IndexedImage img{4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, inverse_palette()};
    PcxOptions o;
    o.xmin = 100;
    o.ymin = 65000;
    rk::ReadResult r = rk::decode_pcx(testsupport::pcx_file(img, o));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.page.width, 4);
    EXPECT_EQ(r.page.height, 3);
    EXPECT_EQ(page_pixels(r), inverse(img.indices));
}

TEST(PcxReaderDecodes, RunByteC3WritesThreePixels) {
    rk::ReadResult r = rk::decode_pcx(pcx_with_data(4, 1, {0xC3, 0x40, 0x05}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse({64, 64, 64, 5}));
}

TEST(PcxReaderDecodes, RunOfZeroWritesNothing) {
    rk::ReadResult r = rk::decode_pcx(pcx_with_data(3, 1, {0xC0, 0x99, 0x01, 0xC0, 0xFF, 0x02, 0x03}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse({1, 2, 3}));
}

TEST(PcxReaderDecodes, RunPastTheRowEndIsCut) {
    // A run of 5 in rows of 3: the next row starts with the next data byte.
    rk::ReadResult r = rk::decode_pcx(pcx_with_data(3, 2, {0x07, 0xC5, 0x10, 0x20, 0x21, 0x22}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse({7, 16, 16, 32, 33, 34}));
    // The cut part of the run reaches neither the next row nor, in the last
    // row, past the page.
    r = rk::decode_pcx(pcx_with_data(3, 2, {0x07, 0xC5, 0x10}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{248, 239, 239, 0, 0, 0}));
    r = rk::decode_pcx(pcx_with_data(3, 2, {0x01, 0x02, 0x03, 0x04, 0xFF, 0x10}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse({1, 2, 3, 4, 16, 16}));
}

TEST(PcxReaderDecodes, NoPaddingIsSkippedWhateverBytesPerLineSays) {
    IndexedImage img{3, 2, {1, 2, 3, 4, 5, 6}, inverse_palette()};
    PcxOptions o;
    o.bytes_per_line = 4;  // the usual even row length; the data holds no padding
    rk::ReadResult r = rk::decode_pcx(testsupport::pcx_file(img, o));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse(img.indices));
}

TEST(PcxReaderDecodes, OneBitTimesEightPlanesCountsAsEightBits) {
    Bytes f = pcx_with_data(2, 1, {0x03, 0x04});
    f[3] = 1;
    f[65] = 8;
    rk::ReadResult r = rk::decode_pcx(f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), inverse({3, 4}));
}

TEST(PcxReaderDecodes, PlanesFieldIsIgnoredForEightBits) {
    Bytes f = pcx_with_data(2, 1, {0x03, 0x04});
    f[65] = 3;
    EXPECT_TRUE(rk::decode_pcx(f).ok());
}

TEST(PcxReaderDecodes, ShortDataLeavesBlack) {
    // Palette index 0 is white, so a pixel that took index 0 shows white;
    // the ones the data does not reach stay black. The run of two is cut at
    // the end of the first row, and the second row gets no data.
    rk::ReadResult r = rk::decode_pcx(pcx_with_data(3, 2, {0x00, 0x01, 0xC2, 0x00}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{255, 254, 255, 0, 0, 0}));
    // A run byte with no value after it writes nothing.
    r = rk::decode_pcx(pcx_with_data(3, 1, {0x05, 0xC2}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), (Bytes{250, 0, 0}));
}

TEST(PcxReaderDecodes, DataNeverRunsIntoThePalette) {
    // No run-length data at all: the palette marker and entries are not
    // taken for pixels.
    rk::ReadResult r = rk::decode_pcx(pcx_with_data(2, 2, {}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(page_pixels(r), Bytes(4, 0));
}

TEST(PcxReaderDecodes, EachRemovedDataByteLosesThePixelsItCarried) {
    IndexedImage img{5, 4, {}, inverse_palette()};
    for (int i = 0; i < 20; ++i) img.indices.push_back(static_cast<std::uint8_t>(i < 8 ? 7 : 100 + i));
    const Bytes full = testsupport::pcx_file(img);
    const Bytes data(full.begin() + 128, full.end() - 769);
    for (std::size_t keep = 0; keep <= data.size(); ++keep) {
        rk::ReadResult r = rk::decode_pcx(pcx_with_data(5, 4, Bytes(data.begin(), data.begin() + keep)));
        ASSERT_TRUE(r.ok()) << keep;
        // Count the pixels the kept bytes describe, by re-running the coding.
        std::size_t decoded = 0;
        for (std::size_t i = 0; i < keep;) {
            if ((data[i] & 0xC0) == 0xC0) {
                if (i + 1 >= keep) break;
                decoded += data[i] & 0x3F;
                i += 2;
            } else {
                decoded += 1;
                i += 1;
            }
        }
        for (std::size_t p = 0; p < 20; ++p)
            ASSERT_EQ(r.page.pixels.get()[p], p < decoded ? 255 - img.indices[p] : 0) << keep << " " << p;
    }
}

// ---------------------------------------------------------------------------

TEST(PcxReaderRejects, HeaderFields) {
    const Bytes good = pcx_with_data(2, 1, {0x03, 0x04});
    ASSERT_TRUE(rk::decode_pcx(good).ok());
    auto with = [&](std::size_t at, std::uint8_t v) {
        Bytes f = good;
        f[at] = v;
        return rk::decode_pcx(f).error;
    };
    EXPECT_EQ(with(0, 11), rk::ReadError::bad_header);  // manufacturer
    EXPECT_EQ(with(1, 3), rk::ReadError::bad_header);   // version
    EXPECT_EQ(with(1, 0), rk::ReadError::bad_header);
    EXPECT_EQ(with(3, 4), rk::ReadError::unsupported);  // 4 bits
    EXPECT_EQ(with(3, 24), rk::ReadError::unsupported);
    EXPECT_EQ(with(3, 1), rk::ReadError::unsupported);  // 1 bit, 1 plane
}

TEST(PcxReaderRejects, TwentyFourBitForLackOfPalette) {
    testsupport::RgbImage img{40, 10, {}};
    for (int i = 0; i < 400; ++i)
        img.pixels.push_back({static_cast<std::uint8_t>(i % 200 + 13), static_cast<std::uint8_t>(i % 7 + 20), 99});
    Bytes f = testsupport::pcx24_file(img);
    ASSERT_GT(f.size(), 769u + 128u);
    ASSERT_NE(f[f.size() - 769], 12);
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_header);
}

TEST(PcxReaderRejects, MissingPaletteMarker) {
    Bytes f = pcx_with_data(2, 1, {0x03, 0x04});
    f[f.size() - 769] = 13;
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_header);
}

TEST(PcxReaderRejects, WindowEndBeforeItsStart) {
    Bytes f = pcx_with_data(2, 2, {0x03, 0x04, 0x05, 0x06});
    Bytes g = f;
    testsupport::put_le16(f, 4, 5);
    testsupport::put_le16(f, 8, 4);  // xmax < xmin
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_size);
    testsupport::put_le16(g, 6, 1);
    testsupport::put_le16(g, 10, 0);  // ymax < ymin
    EXPECT_EQ(rk::decode_pcx(g).error, rk::ReadError::bad_size);
}

TEST(PcxReaderRejects, PageOverTheBound) {
    Bytes f = pcx_with_data(2, 2, {0x03, 0x04, 0x05, 0x06});
    testsupport::put_le16(f, 8, 0xFFFF);
    testsupport::put_le16(f, 10, 0xFFFF);  // 65536 x 65536
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_size);
    testsupport::put_le16(f, 10, 4096);  // 65536 x 4097 is just over 2^28
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_size);
}

TEST(PcxReaderRejects, EveryCutOfAValidFile) {
    // No byte but the marker has the value 12, so every cut loses the
    // marker at its place 769 bytes before the end.
    IndexedImage img{6, 3, {1, 2, 3, 200, 200, 200, 9, 9, 9, 9, 9, 9, 40, 41, 42, 43, 44, 45}, {}};
    for (int i = 0; i < 256; ++i)
        img.palette.push_back({static_cast<std::uint8_t>(i == 12 ? 13 : i), 30, 31});
    const Bytes f = testsupport::pcx_file(img);
    ASSERT_TRUE(rk::decode_pcx(f).ok());
    for (std::size_t len = 0; len < f.size(); ++len) {
        rk::ReadResult r = rk::decode_pcx(std::span(f.data(), len));
        EXPECT_EQ(r.error, len < 128 ? rk::ReadError::too_short : rk::ReadError::bad_header) << len;
        EXPECT_EQ(r.page.pixels.get(), nullptr);
    }
}

TEST(PcxReaderRejects, FailedPageAllocation) {
    Bytes f = pcx_with_data(2, 1, {0x03, 0x04});
    orvo::alloc_fail_at(1);
    rk::ReadResult r = rk::decode_pcx(f);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(r.error, rk::ReadError::no_memory);
    EXPECT_EQ(r.page.pixels.get(), nullptr);
}

}  // namespace
