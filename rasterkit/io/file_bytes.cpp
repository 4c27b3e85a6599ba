// Whole-file loading for the span decoders.
#include "file_bytes.h"

#include <cstdio>

namespace rk {

ReadError load_file(const char* path, FileBytes& out) {
    out = FileBytes{};
    if (path == nullptr) return ReadError::cannot_open;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return ReadError::cannot_open;
    ReadError result = ReadError::none;
    long end = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) end = std::ftell(f);
    if (end < 0 || static_cast<unsigned long>(end) > kMaxFileBytes) {
        result = ReadError::cannot_open;
    } else if (end == 0) {
        result = ReadError::too_short;
    } else {
        std::size_t size = static_cast<std::size_t>(end);
        out.data = orvo::make_zeroed<std::uint8_t>(size);
        if (!out.data) {
            result = ReadError::no_memory;
        } else {
            std::rewind(f);
            out.size = std::fread(out.data.get(), 1, size, f);
            if (out.size == 0) result = ReadError::cannot_open;
        }
    }
    std::fclose(f);
    if (result != ReadError::none) out = FileBytes{};
    return result;
}

}  // namespace rk
