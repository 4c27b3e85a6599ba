// A growable block of bytes from the zero-filling allocator, used to build
// file images before they are written.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gn {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Reserves room for `n` bytes in all; false when memory ran out.
    bool reserve(std::size_t n);
    // Appends; the caller reserved the room (extra bytes are refused).
    bool put(const void* data, std::size_t n);
    bool put_u8(std::uint8_t v) { return put(&v, 1); }
    bool put_i16(std::int16_t v);
    bool put_i32(std::int32_t v);

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Little-endian readers over a byte range; each returns false when fewer
// bytes than needed remain, leaving the position unchanged.
struct ByteReader {
    const std::uint8_t* p;
    std::size_t left;
    bool u8(std::uint8_t* v);
    bool i16(std::int16_t* v);
    bool i32(std::int32_t* v);
    bool skip(std::size_t n);
};

// Reads a whole file into a zero_alloc'ed block (*data, *size). Returns 1,
// 0 when the file cannot be opened or read, -1 when memory ran out. An
// empty file gives a null block and size 0.
int read_whole_file(const char* path, std::uint8_t** data, std::size_t* size);

}  // namespace gn
