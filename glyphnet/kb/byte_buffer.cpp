// File images in memory: the growable buffer, the little-endian reader and
// whole-file reading.
#include "kb/byte_buffer.h"

#include <cstdio>
#include <cstring>

#include "zero_alloc.h"

namespace gn {

ByteBuffer::~ByteBuffer() { orvo::zero_free(data_); }

bool ByteBuffer::reserve(std::size_t n) {
    if (n <= capacity_) return true;
    auto* p = static_cast<std::uint8_t*>(orvo::zero_alloc(n));
    if (p == nullptr) return false;
    if (size_ > 0) std::memcpy(p, data_, size_);
    orvo::zero_free(data_);
    data_ = p;
    capacity_ = n;
    return true;
}

bool ByteBuffer::put(const void* data, std::size_t n) {
    if (n > capacity_ - size_) return false;
    std::memcpy(data_ + size_, data, n);
    size_ += n;
    return true;
}

bool ByteBuffer::put_i16(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(u & 0xFF),
                               static_cast<std::uint8_t>(u >> 8)};
    return put(b, 2);
}

bool ByteBuffer::put_i32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u & 0xFF),
                               static_cast<std::uint8_t>((u >> 8) & 0xFF),
                               static_cast<std::uint8_t>((u >> 16) & 0xFF),
                               static_cast<std::uint8_t>(u >> 24)};
    return put(b, 4);
}

bool ByteReader::u8(std::uint8_t* v) {
    if (left < 1) return false;
    *v = *p++;
    --left;
    return true;
}

bool ByteReader::i16(std::int16_t* v) {
    if (left < 2) return false;
    *v = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    p += 2;
    left -= 2;
    return true;
}

bool ByteReader::i32(std::int32_t* v) {
    if (left < 4) return false;
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) |
                            (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    *v = static_cast<std::int32_t>(u);
    p += 4;
    left -= 4;
    return true;
}

bool ByteReader::skip(std::size_t n) {
    if (left < n) return false;
    p += n;
    left -= n;
    return true;
}

int read_whole_file(const char* path, std::uint8_t** data, std::size_t* size) {
    *data = nullptr;
    *size = 0;
    if (path == nullptr || path[0] == '\0') return 0;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return 0;
    long len = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) len = std::ftell(f);
    if (len < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return 0;
    }
    if (len == 0) {
        std::fclose(f);
        return 1;
    }
    auto* p = static_cast<std::uint8_t*>(orvo::zero_alloc(static_cast<std::size_t>(len)));
    if (p == nullptr) {
        std::fclose(f);
        return -1;
    }
    const std::size_t got = std::fread(p, 1, static_cast<std::size_t>(len), f);
    std::fclose(f);
    if (got != static_cast<std::size_t>(len)) {
        orvo::zero_free(p);
        return 0;
    }
    *data = p;
    *size = got;
    return 1;
}

}  // namespace gn
