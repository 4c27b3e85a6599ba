// The knowledge-base list file: one line per knowledge base, "[type] path",
// written by the programs and read by the engine. Every line is an entry,
// an empty one too; entries are numbered from 1 in file order.
#pragma once

#include <cstddef>

namespace gn {

inline constexpr int kMaxEntries = 30;
inline constexpr int kMaxPath = 259;

struct ListEntry {
    int type = 0;
    char path[kMaxPath + 1] = {};
};

// Parses list text. Entries past the 30th are ignored; a path longer than
// 259 characters leaves its entry with an empty path. Returns the number of
// entries stored in `out`.
int parse_kb_list(const char* text, std::size_t size, ListEntry* out);

// Reads and parses the file; -1 when it cannot be read (memory included).
int read_kb_list(const char* path, ListEntry* out);

}  // namespace gn
