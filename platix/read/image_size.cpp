// Reading the width and height from image file headers without decoding.
#include "image_size.h"

#include <cstdint>
#include <fstream>
#include <vector>

namespace platix {

namespace {

bool read_png(std::ifstream& in, int* w, int* h) {
    unsigned char b[24];
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(b), 24)) return false;
    if (b[12] != 'I' || b[13] != 'H' || b[14] != 'D' || b[15] != 'R') return false;
    const auto be32 = [&](int o) {
        return (std::uint32_t(b[o]) << 24) | (std::uint32_t(b[o + 1]) << 16) | (std::uint32_t(b[o + 2]) << 8) | b[o + 3];
    };
    const std::uint32_t W = be32(16), H = be32(20);
    if (W == 0 || H == 0 || W > 0x7fffffff || H > 0x7fffffff) return false;
    *w = static_cast<int>(W);
    *h = static_cast<int>(H);
    return true;
}

bool read_jpeg(std::ifstream& in, int* w, int* h) {
    in.seekg(2);
    for (int guard = 0; guard < 10000; ++guard) {
        int c = in.get();
        if (c == EOF) return false;
        if (c != 0xFF) continue;
        int marker = in.get();
        while (marker == 0xFF) marker = in.get();
        if (marker == EOF) return false;
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        const int l1 = in.get(), l2 = in.get();
        if (l1 == EOF || l2 == EOF) return false;
        const int len = (l1 << 8) | l2;
        if (len < 2) return false;
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            unsigned char b[5];
            if (!in.read(reinterpret_cast<char*>(b), 5)) return false;
            *h = (b[1] << 8) | b[2];
            *w = (b[3] << 8) | b[4];
            return *w > 0 && *h > 0;
        }
        in.seekg(len - 2, std::ios::cur);
        if (!in) return false;
    }
    return false;
}

bool read_bmp(std::ifstream& in, int* w, int* h) {
    unsigned char b[26];
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(b), 26)) return false;
    const auto le32 = [&](int o) {
        return static_cast<std::int32_t>(std::uint32_t(b[o]) | (std::uint32_t(b[o + 1]) << 8) |
                                         (std::uint32_t(b[o + 2]) << 16) | (std::uint32_t(b[o + 3]) << 24));
    };
    const std::int32_t W = le32(18), H = le32(22);
    if (W <= 0 || H == 0 || H == INT32_MIN) return false;
    *w = W;
    *h = H < 0 ? -H : H;
    return true;
}

bool read_pgm(std::ifstream& in, int* w, int* h) {
    in.seekg(3);
    long values[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        int c = in.get();
        for (;;) {
            if (c == '#') {
                while (c != EOF && c != '\n') c = in.get();
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                c = in.get();
            } else {
                break;
            }
        }
        if (c < '0' || c > '9') return false;
        long v = 0;
        while (c >= '0' && c <= '9' && v < 100000000) {
            v = v * 10 + (c - '0');
            c = in.get();
        }
        values[k] = v;
    }
    if (values[0] <= 0 || values[1] <= 0) return false;
    *w = static_cast<int>(values[0]);
    *h = static_cast<int>(values[1]);
    return true;
}

bool read_itex(std::ifstream& in, int* w, int* h) {
    unsigned char b[8];
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(b), 8)) return false;
    *w = b[4] | (b[5] << 8);
    *h = b[6] | (b[7] << 8);
    return *w > 0 && *h > 0;
}

bool read_pcx(std::ifstream& in, int* w, int* h) {
    unsigned char b[12];
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(b), 12)) return false;
    const int xmin = b[4] | (b[5] << 8), ymin = b[6] | (b[7] << 8);
    const int xmax = b[8] | (b[9] << 8), ymax = b[10] | (b[11] << 8);
    if (xmax < xmin || ymax < ymin) return false;
    *w = xmax - xmin + 1;
    *h = ymax - ymin + 1;
    return true;
}

}  // namespace

bool image_file_size(const std::string& path, int* width, int* height) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    unsigned char head[4] = {0, 0, 0, 0};
    if (!in.read(reinterpret_cast<char*>(head), 4)) return false;
    if (head[0] == 0x89 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') return read_png(in, width, height);
    if (head[0] == 0xFF && head[1] == 0xD8) return read_jpeg(in, width, height);
    if (head[0] == 'B' && head[1] == 'M') return read_bmp(in, width, height);
    if (head[0] == 'P' && head[1] == '5' && head[2] == 0x0A) return read_pgm(in, width, height);
    if (head[0] == 'I' && head[1] == 'M') return read_itex(in, width, height);
    if (head[0] == 10 && head[1] == 5) return read_pcx(in, width, height);
    return false;
}

}  // namespace platix
