// Reading the knowledge-base list file.
#include "kb/kb_list.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "kb/byte_buffer.h"
#include "zero_alloc.h"

namespace gn {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }
bool line_end(char c) { return c == '\r' || c == '\n'; }

}  // namespace

int parse_kb_list(const char* text, std::size_t size, ListEntry* out) {
    int n = 0;
    std::size_t i = 0;
    while (i < size) {
        ListEntry e;
        while (i < size && blank(text[i])) ++i;
        if (i < size && text[i] == '[') {
            ++i;
            while (i < size && blank(text[i])) ++i;
            char number[16] = {};
            std::size_t k = 0;
            while (i < size && !blank(text[i]) && text[i] != ']' && !line_end(text[i])) {
                if (k + 1 < sizeof number) number[k++] = text[i];
                ++i;
            }
            e.type = std::atoi(number);
            while (i < size && blank(text[i])) ++i;
            if (i < size && text[i] == ']') ++i;
            while (i < size && (blank(text[i]) || text[i] == '=')) ++i;
        }
        const std::size_t start = i;
        while (i < size && !line_end(text[i])) ++i;
        std::size_t len = i - start;
        while (len > 1 && blank(text[start + len - 1])) --len;
        if (len <= static_cast<std::size_t>(kMaxPath)) {
            std::memcpy(e.path, text + start, len);
            e.path[len] = '\0';
        }
        // A carriage return ends the entry and takes its line feed along; a
        // bare line feed ends it too.
        if (i < size && text[i] == '\r') {
            ++i;
            if (i < size && text[i] == '\n') ++i;
        } else if (i < size && text[i] == '\n') {
            ++i;
        }
        if (n < kMaxEntries) out[n++] = e;
    }
    return n;
}

int read_kb_list(const char* path, ListEntry* out) {
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (read_whole_file(path, &data, &size) <= 0) return -1;
    const int n = parse_kb_list(reinterpret_cast<const char*>(data), size, out);
    orvo::zero_free(data);
    return n;
}

}  // namespace gn
