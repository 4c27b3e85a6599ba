// Draws simple synthetic scenes for the sample images: a cluttered gray
// background with a light plate carrying a row of dark block characters.
#pragma once

#include <cstdint>
#include <string>

#include "own_format_writers.h"

namespace samples {

struct SceneOptions {
    int width = 800;
    int height = 600;
    std::string text = "AB 123";
    std::uint32_t seed = 1;
    bool colour = true;  // a yellow plate on a coloured background
};

testsupport::RgbImage draw_scene(const SceneOptions& options);
testsupport::GrayImage to_gray(const testsupport::RgbImage& image);

}  // namespace samples
