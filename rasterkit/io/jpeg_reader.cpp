// JPEG reader: libjpeg decompresses straight to 8-bit gray through the
// standard file source, with an error manager that jumps back to the reader
// on a fatal error. A file that ends early still gives a page: the source
// supplies an end-of-image marker and the library only warns.
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "readers.h"

namespace rk {
namespace {

struct JumpErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg sees only this part
    std::jmp_buf jump;
};

[[noreturn]] void jump_back(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JumpErrorManager*>(cinfo->err);
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(err->jump, 1);
}

// Warnings (level < 0) are counted and shown only at trace level 3 or
// more; trace messages when their level is not above the trace level.
void emit(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<JumpErrorManager*>(cinfo->err);
    if (level < 0) {
        if (err->pub.trace_level >= 3) (*cinfo->err->output_message)(cinfo);
        ++err->pub.num_warnings;
    } else if (err->pub.trace_level >= level) {
        (*cinfo->err->output_message)(cinfo);
    }
}

// Decompresses from `file`; kept apart from read_jpeg so that no object
// with a destructor lives between setjmp and longjmp.
ReadError decompress(std::FILE* file, GrayPage& page) {
    jpeg_decompress_struct cinfo{};
    JumpErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jump_back;
    err.pub.emit_message = emit;
    // The page's pixels are handed over only on success; on a jump back the
    // volatile pointer still names the block to free.
    std::uint8_t* volatile pixels = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        orvo::zero_free(pixels);
        return ReadError::decode_failed;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);

    // Gray output straight from the decoder. The one-pass quantiser is left
    // off: with 256 gray levels it does not give the gray values back (its
    // level boundaries put a value v on level v - 1, and its dithering then
    // spreads that error into the neighbours), while the unquantised gray
    // output is exactly the image's gray. The output presets are kept.
    cinfo.out_color_space = JCS_GRAYSCALE;
    cinfo.quantize_colors = FALSE;
    cinfo.desired_number_of_colors = 256;
    cinfo.do_fancy_upsampling = FALSE;
    cinfo.do_block_smoothing = FALSE;
    cinfo.out_color_components = 1;
    cinfo.actual_number_of_colors = 256;
    jpeg_calc_output_dimensions(&cinfo);

    const std::int64_t width = cinfo.output_width;
    const std::int64_t height = cinfo.output_height;
    const std::int64_t row_bytes = width * cinfo.output_components;
    if (cinfo.output_components != 1 || !page_size_ok(width, height)) {
        jpeg_destroy_decompress(&cinfo);
        return ReadError::bad_size;
    }
    pixels = static_cast<std::uint8_t*>(
        orvo::zero_alloc_array(static_cast<std::size_t>(row_bytes), static_cast<std::size_t>(height)));
    if (pixels == nullptr) {
        jpeg_destroy_decompress(&cinfo);
        return ReadError::no_memory;
    }

    jpeg_start_decompress(&cinfo);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                static_cast<JDIMENSION>(row_bytes), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const std::size_t y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) break;
        std::memcpy(pixels + y * static_cast<std::size_t>(row_bytes), row[0], static_cast<std::size_t>(row_bytes));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    page.pixels.reset(pixels);
    page.width = static_cast<int>(width);
    page.height = static_cast<int>(height);
    return ReadError::none;
}

}  // namespace

ReadResult read_jpeg(const char* path) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) return read_failure(ReadError::cannot_open);
    ReadResult result;
    result.error = decompress(file, result.page);
    std::fclose(file);
    if (!result.ok()) result.page = GrayPage{};
    return result;
}

}  // namespace rk
