// Choosing the way in for one file and naming the failure precisely.
#include "decode/page_loader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "decode/decoded_page.h"
#include "rasterkit.h"

namespace fs = std::filesystem;

namespace platix::decode {

Decoded failure(Outcome outcome, std::string why) {
    Decoded d;
    d.outcome = outcome;
    d.why = std::move(why);
    return d;
}

bool size_ok(long long width, long long height) {
    return width >= 1 && height >= 1 && width <= kMaxPixels && height <= kMaxPixels && width * height <= kMaxPixels;
}

namespace {

// Files larger than this are not images anyone photographs.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

enum class Kind { none, jpeg, tiff, png, netpbm, bmp, pcx, itex, gif, webp, heif };

Kind kind_of(const std::vector<std::uint8_t>& b) {
    const auto starts = [&](const char* s, std::size_t at = 0) {
        const std::size_t n = std::strlen(s);
        return b.size() >= at + n && std::memcmp(b.data() + at, s, n) == 0;
    };
    if (b.size() >= 2 && b[0] == 0xFF && b[1] == 0xD8) return Kind::jpeg;
    if (starts("II*") || starts("MM")) return Kind::tiff;
    if (starts("\x89PNG")) return Kind::png;
    if (b.size() >= 3 && b[0] == 'P' && b[1] >= '1' && b[1] <= '7' && std::strchr(" \t\r\n#", b[2]) != nullptr)
        return Kind::netpbm;
    if (starts("BM")) return Kind::bmp;
    if (b.size() >= 2 && b[0] == 0x0A && b[1] <= 5) return Kind::pcx;
    if (starts("IM")) return Kind::itex;
    if (starts("GIF8")) return Kind::gif;
    if (starts("RIFF") && starts("WEBP", 8)) return Kind::webp;
    if (starts("ftyp", 4)) return Kind::heif;
    return Kind::none;
}

// Why the library refused a file of a kind decoded nowhere else.
Decoded refused(Kind kind, const std::vector<std::uint8_t>& b) {
    switch (kind) {
    case Kind::pcx:
        if (b.size() >= 128 && b[1] != 5) return failure(Outcome::unsupported, "unsupported PCX version (only version 5 is read)");
        if (b.size() >= 128 && b[65] != 1)
            return failure(Outcome::unsupported, "unsupported PCX layout (" + std::to_string(b[65]) + " colour planes)");
        return failure(Outcome::damaged, "damaged PCX file");
    case Kind::bmp: return failure(Outcome::damaged, "damaged BMP file, or a BMP variant that is not read");
    case Kind::itex: return failure(Outcome::damaged, "damaged ITEX file");
    case Kind::gif: return failure(Outcome::unsupported, "unsupported format: GIF");
    case Kind::webp: return failure(Outcome::unsupported, "unsupported format: WebP");
    case Kind::heif: return failure(Outcome::unsupported, "unsupported format: HEIF/AVIF or another ISO media file");
    default: return failure(Outcome::not_image, "not a recognised image format");
    }
}

Decoded decode(Kind kind, const std::string& path, const std::vector<std::uint8_t>& bytes) {
    switch (kind) {
    case Kind::jpeg: return decode_jpeg(bytes);
    case Kind::tiff: return decode_tiff(path);
    case Kind::png: return decode_png(path);
    case Kind::netpbm: return decode_netpbm(path);
    default: return refused(kind, bytes);
    }
}

PageLoad failed(PageLoad::Status status, std::string why) {
    PageLoad p;
    p.status = status;
    p.error = std::move(why);
    return p;
}

}  // namespace

Decoded decode_bytes(const std::vector<std::uint8_t>& bytes, bool header_only) {
    switch (const Kind kind = kind_of(bytes)) {
    case Kind::jpeg: return header_only ? decode_jpeg_part(bytes, true) : decode_jpeg(bytes);
    case Kind::tiff: return decode_tiff_bytes(bytes, header_only);
    case Kind::netpbm: return decode_netpbm_bytes(bytes, header_only);
    case Kind::png: {
        if (!header_only) return decode_png_bytes(bytes);
        // The IHDR chunk comes first: length, type, then width and height.
        if (bytes.size() < 24 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0)
            return failure(Outcome::damaged, "damaged PNG file: no IHDR chunk first");
        const auto be32 = [&](std::size_t at) {
            return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
                   (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        };
        const std::uint32_t w = be32(16), h = be32(20);
        Decoded d;
        d.outcome = Outcome::decoded;
        d.image.width = static_cast<int>(std::min<std::uint32_t>(w, INT32_MAX));
        d.image.height = static_cast<int>(std::min<std::uint32_t>(h, INT32_MAX));
        return d;
    }
    case Kind::bmp:
    case Kind::pcx:
    case Kind::itex: return failure(Outcome::unsupported, "an image format read from files only, not from memory");
    default: return refused(kind, bytes);
    }
}

Decoded decode_colour(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    switch (kind_of(bytes)) {
    case Kind::jpeg: return decode_jpeg(bytes, true);
    case Kind::tiff: return decode_tiff(path, true);
    case Kind::png: return decode_png(path, true);
    case Kind::netpbm: return decode_netpbm(path, true);
    default: return failure(Outcome::unsupported, "not decoded in colour here");
    }
}

bool looks_like_image(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(16);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.size() > 4 && kind_of(head) != Kind::none;
}

PageLoad load_page(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return failed(PageLoad::Status::failed, "is a folder");
    const auto size = fs::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) return failed(PageLoad::Status::failed, "cannot open the file");
    if (size <= 4) return failed(PageLoad::Status::not_image, "too short to be an image");
    if (size > kMaxFileBytes) return failed(PageLoad::Status::failed, "unsupported: the file is larger than 1 GiB");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) return failed(PageLoad::Status::failed, "cannot read the file");

    const Kind kind = kind_of(bytes);
    // JPEG files the library's reader would refuse for their header (and
    // report on stderr) or show on their side are decoded here only.
    bool library_reads = true;
    if (kind == Kind::jpeg) {
        const Decoded header = decode_jpeg_part(bytes, true);
        if (header.outcome != Outcome::decoded) return failed(PageLoad::Status::failed, header.why);
        library_reads = header.why.empty() && jpeg_orientation(bytes) == 1;
    }
    if (library_reads && SEG_set_image_file(path.c_str()) == 1 && SEG_open_image() != 0 && videobuffer != nullptr)
        return PageLoad{PageLoad::Status::held, "", 0, 0};
    SEG_close_image();

    const Decoded d = decode(kind, path, bytes);
    switch (d.outcome) {
    case Outcome::decoded: break;
    case Outcome::not_image: return failed(PageLoad::Status::not_image, d.why);
    case Outcome::unsupported:
    case Outcome::damaged: return failed(PageLoad::Status::failed, d.why);
    }
    if (SEG_open_gray_page(d.image.pixels.data(), d.image.width, d.image.height, d.image.width) != 1)
        return failed(PageLoad::Status::failed, "out of memory for the page");
    return PageLoad{PageLoad::Status::held, "", d.image.width, d.image.height};
}

}  // namespace platix::decode
