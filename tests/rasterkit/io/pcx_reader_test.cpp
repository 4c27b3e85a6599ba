// PCX decoding: run-length data into palette grays, runs cut at the row end, refusals of headers, sizes, cuts.
#include <gtest/gtest.h>

#include "own_format_writers.h"
#include "own_reader_checks.h"

namespace {

using namespace testsupport;
using rktest::Bytes, rktest::page_pixels;

// Entry i is gray 255 - i: a page shows each index, and index 0 is white unlike a missing pixel.
std::vector<Rgb> inverse_palette() {
    std::vector<Rgb> p;
    for (int i = 0; i < 256; ++i) { const auto v = static_cast<std::uint8_t>(255 - i); p.push_back({v, v, v}); }
    return p;
}

// A PCX file of width x height with the given run-length data.
Bytes pcx_with_data(int width, int height, const Bytes& data) {
    IndexedImage img{width, height, Bytes(static_cast<std::size_t>(width) * height, 0), inverse_palette()};
    Bytes f = pcx_file(img);
    f.erase(f.begin() + kPcxHeaderBytes, f.end() - 769);
    f.insert(f.begin() + kPcxHeaderBytes, data.begin(), data.end());
    return f;
}

Bytes inverse(const Bytes& indices) {
    Bytes g;
    for (std::uint8_t i : indices) g.push_back(static_cast<std::uint8_t>(255 - i));
    return g;
}

// Files through the palette, and run-length data by hand: pixels the data does not reach stay black.
TEST(PcxReaderDecodes, FilesAndRunLengthData) {
    const IndexedImage six{3, 2, {1, 2, 3, 4, 5, 6}, inverse_palette()};
    Bytes one_bit_planes = pcx_with_data(2, 1, {0x03, 0x04}), planes = one_bit_planes;
    one_bit_planes[3] = 1;  // 1 bit x 8 planes counts as 8 bits
    one_bit_planes[65] = 8;
    planes[65] = 3;  // ignored for 8 bits
    const auto data = &pcx_with_data;
    const struct { const char* what; Bytes file; Bytes page; } cases[] = {
        {"the window origin only sets the size", pcx_file(six, {.xmin = 100, .ymin = 65000}), inverse(six.indices)},
        {"an even row length, no padding in the data", pcx_file(six, {.bytes_per_line = 4}), inverse(six.indices)},
        {"1 bit x 8 planes", one_bit_planes, inverse({3, 4})},
        {"planes field", planes, inverse({3, 4})},
        {"run byte C3 writes three pixels", data(4, 1, {0xC3, 0x40, 0x05}), inverse({64, 64, 64, 5})},
        {"run of zero writes nothing", data(3, 1, {0xC0, 0x99, 0x01, 0xC0, 0xFF, 0x02, 0x03}), inverse({1, 2, 3})},
        // A run of 5 in rows of 3: the next row starts with the next data byte.
        {"run cut at the row end", data(3, 2, {0x07, 0xC5, 0x10, 0x20, 0x21, 0x22}), inverse({7, 16, 16, 32, 33, 34})},
        // The cut part reaches neither the next row nor past the page.
        {"cut run stays in its row", data(3, 2, {0x07, 0xC5, 0x10}), {248, 239, 239, 0, 0, 0}},
        {"cut run stays in the page", data(3, 2, {0x01, 0x02, 0x03, 0x04, 0xFF, 0x10}), inverse({1, 2, 3, 4, 16, 16})},
        {"short data leaves black", data(3, 2, {0x00, 0x01, 0xC2, 0x00}), {255, 254, 255, 0, 0, 0}},
        {"run byte without its value", data(3, 1, {0x05, 0xC2}), {250, 0, 0}},
        {"no data: the palette is not taken for pixels", data(2, 2, {}), Bytes(4, 0)},
    };
    for (const auto& c : cases) {
        rk::ReadResult r = rk::decode_pcx(c.file);
        ASSERT_TRUE(r.ok()) << c.what << ": " << rk::read_error_name(r.error);
        EXPECT_EQ(page_pixels(r), c.page) << c.what;
    }
}

// A byte (width 1) or field (width 2) changed in a valid 2 x 2 file; at -769 the palette marker, absent at 24 bits.
TEST(PcxReaderRejects, HeaderFieldsAndTwentyFourBitFiles) {
    const Bytes good = pcx_with_data(2, 2, {0x03, 0x04, 0x05, 0x06});
    ASSERT_TRUE(rk::decode_pcx(good).ok());
    const struct { const char* what; long at; int width; std::uint16_t value; rk::ReadError error; } cases[] = {
        {"manufacturer", 0, 1, 11, rk::ReadError::bad_header},
        {"version 3", 1, 1, 3, rk::ReadError::bad_header},
        {"4 bits", 3, 1, 4, rk::ReadError::unsupported},
        {"24 bits", 3, 1, 24, rk::ReadError::unsupported},
        {"1 bit, 1 plane", 3, 1, 1, rk::ReadError::unsupported},
        {"palette marker", -769, 1, 13, rk::ReadError::bad_header},
        {"xmax before xmin", 4, 2, 5, rk::ReadError::bad_size},  // xmin 5, xmax 1
        {"ymax before ymin", 6, 2, 5, rk::ReadError::bad_size},
    };
    for (const auto& c : cases) {
        Bytes f = good;
        const std::size_t at = c.at < 0 ? f.size() - static_cast<std::size_t>(-c.at) : static_cast<std::size_t>(c.at);
        if (c.width == 1) f[at] = static_cast<std::uint8_t>(c.value);
        else put_le16(f, at, c.value);
        EXPECT_EQ(rk::decode_pcx(f).error, c.error) << c.what;
    }
    for (std::uint16_t h : {0xFFFF, 4096}) {  // 65536 x 65536, and 65536 x 4097, just over 2^28 pixels
        Bytes f = good;
        put_le16(f, 8, 0xFFFF);
        put_le16(f, 10, h);
        EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_size) << h;
    }
    RgbImage img{40, 10, {}};
    for (int i = 0; i < 400; ++i) img.pixels.push_back({std::uint8_t(i % 200 + 13), std::uint8_t(i % 7 + 20), 99});
    const Bytes f = pcx24_file(img);
    ASSERT_NE(f.at(f.size() - 769), 12);
    EXPECT_EQ(rk::decode_pcx(f).error, rk::ReadError::bad_header);
}

// No byte but the marker has the value 12, so every cut loses the marker at its place 769 bytes before the end.
TEST(PcxReaderRejects, EveryCutOfAValidFile) {
    IndexedImage img{6, 3, {1, 2, 3, 200, 200, 200, 9, 9, 9, 9, 9, 9, 40, 41, 42, 43, 44, 45}, {}};
    for (int i = 0; i < 256; ++i) img.palette.push_back({static_cast<std::uint8_t>(i == 12 ? 13 : i), 30, 31});
    const Bytes f = pcx_file(img);
    rktest::expect_every_cut(f, rk::decode_pcx, {{128, rk::ReadError::too_short}, {f.size(), rk::ReadError::bad_header}},
                             [](std::size_t) { return 0; });
}

}  // namespace
