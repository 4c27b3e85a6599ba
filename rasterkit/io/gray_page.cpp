// Page allocation shared by the readers.
#include "gray_page.h"

namespace rk {

bool allocate_page(GrayPage& page, int width, int height) {
    page = GrayPage{};
    if (!page_size_ok(width, height)) return false;
    page.pixels = orvo::make_zeroed<std::uint8_t>(static_cast<std::size_t>(width) * height);
    if (!page.pixels) return false;
    page.width = width;
    page.height = height;
    return true;
}

}  // namespace rk
