// Model files: a little-endian header that describes the network and the
// payload, then the payload (every parameter and batch-norm statistic as
// float32, in the network's fixed order). Reading checks the header against
// fixed caps and the payload against its size and CRC-32 before anything
// is built, so a damaged, truncated or foreign file is refused with its
// cause.
//
// Layout (all integers unsigned 32-bit little-endian):
//   "PLATENET" (8 bytes), format version (1), header size in bytes,
//   input height, input width, layer count L, L layer widths,
//   charset length K, K charset bytes, parameter count P,
//   payload CRC-32, then 4 * P payload bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "status.h"

namespace platenet {

constexpr std::uint32_t kFormatVersion = 1;
constexpr int kMinInputHeight = 16, kMaxInputHeight = 128;
constexpr int kMinInputWidth = 32, kMaxInputWidth = 512;
constexpr int kLayerCount = 6;          // five conv widths and the width of the 1-D head
constexpr int kMaxLayerWidth = 512;
constexpr int kMaxCharset = 94;         // printable ASCII without blank
constexpr std::uint32_t kMaxParameters = 4u << 20;  // 16 MB of float32

// What a model is: its input, its layer widths and its characters. The
// network's class 0 is "no character"; class k + 1 is charset[k].
struct Architecture {
    int input_height = 32;
    int input_width = 256;
    std::vector<int> widths = {16, 32, 64, 64, 96, 128};
    std::string charset = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    bool operator==(const Architecture&) const = default;
};

// The input height and width must be multiples of 8 for the pooling.
// Returns ok or bad_header naming nothing more: the caps above.
Status check_architecture(const Architecture& a);

struct ModelFile {
    Architecture arch;
    std::vector<float> parameters;
};

// The file's bytes.
std::vector<std::uint8_t> encode_model(const ModelFile& m);

// Parses a model file from memory. `expected_parameters(arch)` is the
// count the architecture needs; a different count in the file is
// bad_parameters. Nothing is allocated for the payload before its size is
// known to be present.
Status decode_model(const std::uint8_t* bytes, std::size_t size, ModelFile* out);

// Loads the bytes of a file (cannot_open when it cannot be read) and
// decodes them.
Status load_model_file(const std::string& path, ModelFile* out);
// Writes the file through a temporary name and a rename; false on failure.
bool save_model_file(const std::string& path, const ModelFile& m);

// Parameters of the network of an architecture (see network.h), or 0 when
// the architecture is not valid.
std::uint64_t expected_parameters(const Architecture& a);

}  // namespace platenet
