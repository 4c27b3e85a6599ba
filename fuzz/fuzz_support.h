// Helpers shared by the fuzz targets: a private scratch folder, writing the
// input to a file, a silent message presenter, and a guard that reads the
// page size an image file claims, so that targets can skip pages too large
// to decode quickly (the readers accept up to 2^28 pixels; the hostile-image
// tests cover that size once).
#pragma once

#include <tiffio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzsupport {

inline const std::string fallback_dir = "/tmp";

// A folder of its own for this process, made on first use and removed with
// everything in it when the process exits normally.
inline const std::string& scratch_dir() {
    struct Folder {
        std::string path;
        Folder() {
            char name[] = "/tmp/orvo-fuzz-XXXXXX";
            if (mkdtemp(name) != nullptr) path = name;
        }
        ~Folder() {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder dir;
    return dir.path.empty() ? fallback_dir : dir.path;
}

inline std::string scratch_file(const char* name) { return scratch_dir() + "/" + name; }

// Writes `size` bytes to `path`; false when the file cannot be written.
inline bool write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Message presenter that shows nothing and answers OK.
inline int silent_presenter(void*, const char*, const char*, unsigned) { return 1; }

inline unsigned be16(const std::uint8_t* p) { return (unsigned{p[0]} << 8) | p[1]; }
inline std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline unsigned le16(const std::uint8_t* p) { return unsigned{p[0]} | (unsigned{p[1]} << 8); }
inline std::int32_t le32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) |
                                     (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24));
}

// w x h with each side cut to 2^31, so that the product cannot overflow.
inline long long area(unsigned long long w, unsigned long long h) {
    constexpr unsigned long long cap = 1ull << 31;
    return static_cast<long long>((w < cap ? w : cap) * (h < cap ? h : cap));
}

// Width x height of the first frame header of a JPEG stream, or -1.
inline long long jpeg_pixels(const std::uint8_t* d, std::size_t n) {
    std::size_t i = 2;
    while (i + 4 <= n) {
        if (d[i] != 0xFF) return -1;
        const std::uint8_t m = d[i + 1];
        if (m == 0xFF) {
            ++i;
            continue;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD9)) {
            i += 2;
            continue;
        }
        const unsigned len = be16(d + i + 2);
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) {
            if (i + 9 > n) return -1;
            return area(be16(d + i + 5), be16(d + i + 7));
        }
        if (len < 2) return -1;
        i += 2 + len;
    }
    return -1;
}

// Largest page size of any directory of a TIFF file, or -1.
inline long long tiff_pixels(const std::string& path) {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* t = TIFFOpen(path.c_str(), "r");
    if (t == nullptr) return -1;
    long long most = 0;
    int dirs = 0;
    do {
        std::uint32_t w = 0, h = 0;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
        const long long px = area(w, h);
        if (px > most) most = px;
    } while (++dirs < 64 && TIFFReadDirectory(t));
    TIFFClose(t);
    return most;
}

// The page size that the file's header claims, by its first bytes; -1 when
// the format is not recognised or the header cannot be read. `path` is
// the file holding the same bytes (TIFF is measured through libtiff).
inline long long claimed_pixels(const std::uint8_t* d, std::size_t n, const std::string& path) {
    if (n < 4) return -1;
    if ((d[0] == 'I' && d[1] == 'I') || (d[0] == 'M' && d[1] == 'M')) return tiff_pixels(path);
    if (d[0] == 0xFF && d[1] == 0xD8) return jpeg_pixels(d, n);
    if (d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G')
        return n >= 24 ? area(be32(d + 16), be32(d + 20)) : -1;
    if (d[0] == 'B' && d[1] == 'M') {
        if (n < 26) return -1;
        const long long w = std::llabs(le32(d + 18)), h = std::llabs(le32(d + 22));
        return area(static_cast<unsigned long long>(w), static_cast<unsigned long long>(h));
    }
    if (d[0] == 0x0A) {
        if (n < 12) return -1;
        const long long w = static_cast<long long>(le16(d + 8)) - le16(d + 4) + 1;
        const long long h = static_cast<long long>(le16(d + 10)) - le16(d + 6) + 1;
        return w > 0 && h > 0 ? w * h : 0;
    }
    if (d[0] == 'I' && d[1] == 'M') return n >= 8 ? area(le16(d + 4), le16(d + 6)) : -1;
    if (d[0] == 'P' && d[1] == '5') {
        // "P5", width, height on the next lines: numbers of at most 14 digits.
        long long v[2] = {0, 0};
        std::size_t i = 3;
        for (long long& x : v) {
            int digits = 0;
            while (i < n && d[i] != 0x0A) {
                if (d[i] >= '0' && d[i] <= '9' && digits < 14) {
                    x = x * 10 + (d[i] - '0');
                    ++digits;
                }
                ++i;
            }
            ++i;
        }
        return area(static_cast<unsigned long long>(v[0]), static_cast<unsigned long long>(v[1]));
    }
    return -1;
}

}  // namespace fuzzsupport
