// The knowledge-base file: a net count, then every net (node count, two
// class bytes, shape code, nodes of 294 bytes), oldest net first. In memory
// the nets are kept newest first.
#pragma once

#include "kb/byte_buffer.h"
#include "kb/net.h"

namespace gn {

inline constexpr int kNodeBytes = 294;
inline constexpr int kNetHeaderBytes = 7;

enum class KbLoad {
    loaded,     // at least one net
    empty,      // net count 0, or a file of 0 bytes
    missing,    // cannot be opened or read
    malformed,  // truncated, counts that do not fit the file, values out of range
    no_memory
};

// Reads the file into a list of nets (newest first) and its count. Only a
// `loaded` result leaves nets in *head; every other result leaves it null.
KbLoad load_kb_file(const char* path, Net** head, int* count);

// Parses a file image; same results as load_kb_file.
KbLoad parse_kb_image(const std::uint8_t* data, std::size_t size, Net** head, int* count);

// Writes the file image of the list (oldest net first) into out.
bool build_kb_image(const Net* head, ByteBuffer* out);

// 0 = mixed, empty or unreadable; 1 = digits only; 2 = letters only.
int kb_type_of_file(const char* path);

}  // namespace gn
