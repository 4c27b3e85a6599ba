// The patterns table: loading, saving and editing the training samples.
#include "kb/patterns.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/messages.h"
#include "zero_alloc.h"

namespace gn {
namespace {

void show_table_error(const char* text) { show_message(text, "Error", Icon::error); }

// Replaces the table's block by a copy of `keep` of its samples, chosen by
// the predicate; false when the new block cannot be had.
template <typename Keep>
bool rebuild_table(PatternTable* t, int keep_count, Keep keep) {
    if (keep_count == 0) {
        orvo::zero_free(t->s);
        t->s = nullptr;
        t->count = 0;
        return true;
    }
    auto* block = static_cast<Sample*>(orvo::zero_alloc_array(keep_count, sizeof(Sample)));
    if (block == nullptr) return false;
    int k = 0;
    for (int i = 0; i < t->count; ++i)
        if (keep(i)) block[k++] = t->s[i];
    orvo::zero_free(t->s);
    t->s = block;
    t->count = keep_count;
    return true;
}

}  // namespace

int load_patterns(const char* path, PatternTable* t) {
    release_patterns(t);
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    const int rc = read_whole_file(path, &data, &size);
    if (rc <= 0) return rc;
    const std::size_t records = size / kSampleBytes;
    int kept = 0;
    for (std::size_t i = 0; i < records; ++i) {
        const std::uint8_t* r = data + i * kSampleBytes;
        if (r[0] >= 32 || r[1] >= 32) ++kept;
    }
    if (kept > 0) {
        t->s = static_cast<Sample*>(orvo::zero_alloc_array(kept, sizeof(Sample)));
        if (t->s == nullptr) {
            orvo::zero_free(data);
            return -1;
        }
        int k = 0;
        for (std::size_t i = 0; i < records; ++i) {
            const std::uint8_t* r = data + i * kSampleBytes;
            if (r[0] < 32 && r[1] < 32) continue;
            Sample& s = t->s[k++];
            s.c1 = r[0];
            s.c2 = r[1];
            s.kind = r[2];
            for (int m = 0; m < 49; ++m) {
                int v = static_cast<std::int8_t>(r[3 + m]);
                if (v < -16) v = -16;
                if (v > 16) v = 16;
                s.f[m] = static_cast<std::int8_t>(v);
            }
        }
        t->count = kept;
    }
    orvo::zero_free(data);
    return 1;
}

void release_patterns(PatternTable* t) {
    orvo::zero_free(t->s);
    t->s = nullptr;
    t->count = 0;
}

bool create_patterns_file(const char* path) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || ec) return false;
    std::FILE* f = std::fopen(path, "ab");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

void remove_empty_patterns_file(const char* path) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) == 0 &&
        !ec)
        std::filesystem::remove(path, ec);
}

bool build_patterns_image(const PatternTable& t, ByteBuffer* out) {
    if (!out->reserve(static_cast<std::size_t>(t.count) * kSampleBytes + 1)) return false;
    for (int i = 0; i < t.count; ++i) {
        const Sample& s = t.s[i];
        if (s.c1 < 32 && s.c2 < 32) continue;
        if (!out->put_u8(s.c1) || !out->put_u8(s.c2) || !out->put_u8(s.kind) ||
            !out->put(s.f, 49))
            return false;
    }
    return true;
}

bool append_sample(PatternTable* t, const Sample& s) {
    auto* block = static_cast<Sample*>(orvo::zero_alloc_array(t->count + 1, sizeof(Sample)));
    if (block == nullptr) {
        show_table_error(t->count == 0 ? "Can't add a first pattern! (Memory allocation error)"
                                       : "Can't add new pattern! (Memory allocation error)");
        return false;
    }
    if (t->count > 0) std::memcpy(block, t->s, sizeof(Sample) * t->count);
    block[t->count] = s;
    orvo::zero_free(t->s);
    t->s = block;
    ++t->count;
    return true;
}

void move_to_end(PatternTable* t, int i) {
    if (i < 0 || i >= t->count) return;
    const Sample moved = t->s[i];
    for (int k = i; k + 1 < t->count; ++k) t->s[k] = t->s[k + 1];
    t->s[t->count - 1] = moved;
}

bool remove_sample(PatternTable* t, int i) {
    if (i < 0 || i >= t->count) return false;
    if (!rebuild_table(t, t->count - 1, [i](int k) { return k != i; })) {
        show_table_error("Can't remove pattern! (Memory allocation error)");
        return false;
    }
    return true;
}

bool remove_class_samples(PatternTable* t, unsigned char c1, unsigned char c2) {
    int keep = 0;
    for (int i = 0; i < t->count; ++i)
        if (!(t->s[i].c1 == c1 && t->s[i].c2 == c2)) ++keep;
    if (keep == t->count) return true;
    const Sample* s = t->s;
    if (!rebuild_table(t, keep, [s, c1, c2](int k) { return !(s[k].c1 == c1 && s[k].c2 == c2); })) {
        show_table_error("Can't remove pattern! (Memory allocation error)");
        return false;
    }
    return true;
}

bool has_class(const PatternTable& t, unsigned char c1, unsigned char c2) {
    for (int i = 0; i < t.count; ++i)
        if (t.s[i].c1 == c1 && t.s[i].c2 == c2) return true;
    return false;
}

int class_table(const PatternTable& t, char* out512) {
    std::memset(out512, 0, 512);
    int n = 0;
    for (int i = 0; i < t.count && n < 255; ++i) {
        bool seen = false;
        for (int k = 0; k < n && !seen; ++k)
            seen = static_cast<unsigned char>(out512[2 * k]) == t.s[i].c1 &&
                   static_cast<unsigned char>(out512[2 * k + 1]) == t.s[i].c2;
        if (seen) continue;
        out512[2 * n] = static_cast<char>(t.s[i].c1);
        out512[2 * n + 1] = static_cast<char>(t.s[i].c2);
        ++n;
    }
    return n;
}

}  // namespace gn
