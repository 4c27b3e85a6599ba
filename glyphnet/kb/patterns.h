// The patterns file and its table in memory: every training sample of a
// knowledge base as a 52-byte record (class bytes, kind, 49 signed feature
// bytes), plus a work mark per sample in memory that is never written.
#pragma once

#include <cstdint>

#include "kb/byte_buffer.h"

namespace gn {

inline constexpr int kSampleBytes = 52;
inline constexpr std::uint8_t kPositive = 0;
inline constexpr std::uint8_t kCounter = 0xFF;

struct Sample {
    unsigned char c1, c2;
    std::uint8_t kind;  // kPositive or kCounter
    std::int8_t f[49];
    std::uint8_t mark;  // work mark of a rebuild
};

struct PatternTable {
    Sample* s = nullptr;  // zero_alloc'ed, count entries
    int count = 0;
};

// Loads the file: 1 (also for an empty file), 0 when it cannot be opened,
// -1 when memory ran out. A trailing partial record is ignored, records
// whose two class bytes are both below 32 are dropped, feature bytes are
// limited to -16..16.
int load_patterns(const char* path, PatternTable* t);
// Creates the file empty when it does not exist; true when it was created.
bool create_patterns_file(const char* path);
// Deletes the file if it exists and is empty.
void remove_empty_patterns_file(const char* path);
// Frees the table.
void release_patterns(PatternTable* t);
// The file image: every record with a class byte of 32 or above.
bool build_patterns_image(const PatternTable& t, ByteBuffer* out);

// Appends a copy of `s`; on memory shortage shows "Can't add a first
// pattern!..." or "Can't add new pattern!..." and leaves the table as it was.
bool append_sample(PatternTable* t, const Sample& s);
// Moves sample i to the end of the table, keeping the order of the rest.
void move_to_end(PatternTable* t, int i);
// Removes sample i; "Can't remove pattern!..." on memory shortage.
bool remove_sample(PatternTable* t, int i);
// Removes every sample of the class; false (table unchanged) on shortage.
bool remove_class_samples(PatternTable* t, unsigned char c1, unsigned char c2);
// True when some sample has the class.
bool has_class(const PatternTable& t, unsigned char c1, unsigned char c2);

// The distinct classes in order of first appearance, two bytes each, in a
// 512-byte table, NUL-terminated; at most 255. Returns the class count.
int class_table(const PatternTable& t, char* out512);

}  // namespace gn
