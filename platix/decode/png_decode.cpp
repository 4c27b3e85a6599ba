// PNG files of every layout libpng reads, composed on white and turned to
// gray with the library's gray rule.
#include <png.h>

#include "decode/decoded_page.h"

namespace platix::decode {

namespace {

// Finishes a read begun on `image` (the header is read).
Decoded finish(png_image& image, bool colour) {
    if (!size_ok(image.width, image.height)) {
        png_image_free(&image);
        return failure(Outcome::unsupported, "PNG image larger than the reader takes");
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, rgb.data(), 0, nullptr))
        return failure(Outcome::damaged, std::string("damaged PNG file: ") + image.message);
    Decoded d;
    d.image.width = static_cast<int>(image.width);
    d.image.height = static_cast<int>(image.height);
    if (colour) {
        d.image.channels = 3;
        d.image.pixels = std::move(rgb);
        d.outcome = Outcome::decoded;
        return d;
    }
    d.image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < d.image.pixels.size(); ++i)
        d.image.pixels[i] = static_cast<std::uint8_t>(gray_of(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    d.outcome = Outcome::decoded;
    return d;
}

}  // namespace

Decoded decode_png(const std::string& path, bool colour) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return failure(Outcome::damaged, std::string("damaged PNG file: ") + image.message);
    return finish(image, colour);
}

Decoded decode_png_bytes(const std::vector<std::uint8_t>& bytes, bool colour) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return failure(Outcome::damaged, std::string("damaged PNG file: ") + image.message);
    return finish(image, colour);
}

}  // namespace platix::decode
