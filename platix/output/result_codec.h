// Turning an image result into bytes and back, so that a worker process
// can hand it to the process that prints it.
#pragma once

#include <cstdint>
#include <vector>

#include "image_result.h"

namespace platix {

std::vector<std::uint8_t> encode_result(const ImageResult& r);
// False when the bytes are not a whole encoded result.
bool decode_result(const std::vector<std::uint8_t>& bytes, ImageResult* out);

}  // namespace platix
