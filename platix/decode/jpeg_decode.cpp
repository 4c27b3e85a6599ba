// JPEG files of every colour space libjpeg decodes, with CMYK and YCCK
// (Adobe, whose samples are stored inverted) turned to gray, and the EXIF
// orientation read with libexif and applied.
#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>
#include <libexif/exif-data.h>

#include "decode/decoded_page.h"

namespace platix::decode {

namespace {

struct JumpError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool cut_short = false;
};

void jump_out(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JumpError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

void no_output(j_common_ptr) {}

// Counts warnings as libjpeg does and remembers data that ended early.
void note_warning(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JumpError*>(cinfo->err)->cut_short = true;
}

// Errors that mean a valid file of a kind libjpeg was not built to decode.
bool is_unsupported(int code) {
    return code == JERR_NOT_COMPILED || code == JERR_BAD_PRECISION || code == JERR_CONVERSION_NOTIMPL ||
           code == JERR_ARITH_NOTIMPL || code == JERR_BAD_J_COLORSPACE || code == JERR_BAD_IN_COLORSPACE;
}

}  // namespace

int jpeg_orientation(const std::vector<std::uint8_t>& bytes) {
    ExifData* exif = exif_data_new_from_data(bytes.data(), static_cast<unsigned int>(bytes.size()));
    if (exif == nullptr) return 1;
    int orientation = 1;
    if (ExifEntry* e = exif_data_get_entry(exif, EXIF_TAG_ORIENTATION);
        e != nullptr && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->size >= 2)
        orientation = exif_get_short(e->data, exif_data_get_byte_order(exif));
    exif_data_unref(exif);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

Decoded decode_jpeg(const std::vector<std::uint8_t>& bytes, bool colour) { return decode_jpeg_part(bytes, false, colour); }

Decoded decode_jpeg_part(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour) {
    Decoded d;
    jpeg_decompress_struct cinfo{};
    JumpError err{};
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jump_out;
    err.mgr.output_message = no_output;
    err.mgr.emit_message = note_warning;
    std::vector<std::uint8_t> line;
    if (setjmp(err.jump) != 0) {
        const int code = err.mgr.msg_code;
        jpeg_destroy_decompress(&cinfo);
        return failure(is_unsupported(code) ? Outcome::unsupported : Outcome::damaged,
                       std::string(is_unsupported(code) ? "unsupported JPEG: " : "damaged JPEG file: ") + err.message);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!size_ok(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return failure(Outcome::unsupported, "JPEG image larger than the reader takes");
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (header_only) {
        jpeg_destroy_decompress(&cinfo);
        d.outcome = Outcome::decoded;
        d.why = cmyk ? "cmyk" : "";
        d.image.width = static_cast<int>(cinfo.image_width);
        d.image.height = static_cast<int>(cinfo.image_height);
        return d;
    }
    cinfo.out_color_space = cmyk ? JCS_CMYK : colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    const int channels = colour ? 3 : 1;
    d.image.width = w;
    d.image.height = h;
    d.image.channels = channels;
    d.image.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * channels);
    line.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(cinfo.output_components));
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {line.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        std::uint8_t* out = &d.image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) * channels];
        if (!cmyk) {
            std::copy_n(line.data(), static_cast<std::size_t>(w) * channels, out);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &line[static_cast<std::size_t>(x) * 4];
            // Light left by each ink and the black: Adobe files store 255 - ink.
            const int c = inverted ? p[0] : 255 - p[0], m = inverted ? p[1] : 255 - p[1];
            const int yl = inverted ? p[2] : 255 - p[2], k = inverted ? p[3] : 255 - p[3];
            const int r = c * k / 255, g = m * k / 255, b = yl * k / 255;
            if (colour) {
                out[3 * x] = static_cast<std::uint8_t>(r);
                out[3 * x + 1] = static_cast<std::uint8_t>(g);
                out[3 * x + 2] = static_cast<std::uint8_t>(b);
            } else {
                out[x] = static_cast<std::uint8_t>(gray_of(r, g, b));
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    d.cut_short = err.cut_short;
    const int orientation = jpeg_orientation(bytes);
    if (orientation != 1) d.image = apply_orientation(d.image, orientation);
    d.outcome = Outcome::decoded;
    return d;
}

}  // namespace platix::decode
