// Format recognition from the first bytes of a file.
#include "format_sniff.h"

namespace rk {

ImageFormat detect_format(std::span<const std::uint8_t> h) {
    if (h.size() < 2) return ImageFormat::unknown;
    if ((h[0] == 'I' && h[1] == 'I') || (h[0] == 'M' && h[1] == 'M')) return ImageFormat::tiff;
    if (h[0] == 0xFF && h[1] == 0xD8) return ImageFormat::jpeg;
    if (h[0] == 0x0A && h[1] == 0x05) return ImageFormat::pcx;
    if (h[0] == 'I' && h[1] == 'M') return ImageFormat::itex;
    if (h[0] == 'B' && h[1] == 'M') return ImageFormat::bmp;
    if (h.size() >= 4 && h[0] == 0x89 && h[1] == 'P' && h[2] == 'N' && h[3] == 'G')
        return ImageFormat::png;
    if (h.size() >= 3 && h[0] == 'P' && h[1] == '5' && h[2] == 0x0A) return ImageFormat::pgm;
    return ImageFormat::unknown;
}

const char* format_name(ImageFormat format) {
    switch (format) {
        case ImageFormat::tiff: return "TIFF";
        case ImageFormat::jpeg: return "JPEG";
        case ImageFormat::pcx: return "PCX";
        case ImageFormat::itex: return "ITEX";
        case ImageFormat::bmp: return "BMP";
        case ImageFormat::png: return "PNG";
        case ImageFormat::pgm: return "PGM";
        case ImageFormat::unknown: break;
    }
    return "unknown";
}

}  // namespace rk
