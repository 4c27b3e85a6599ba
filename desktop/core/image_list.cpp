// Image list slots and the read-back of the image list file.
#include "image_list.h"

#include <cstdio>
#include <cstring>

namespace desk {

namespace {
constexpr std::size_t kSlot = 260;
constexpr int kLineChars = 256;

// Reads one line of at most kLineChars characters into out (NUL-terminated,
// line end cut off). Returns false at the end of the file.
bool read_line(std::FILE* f, char* out) {
    if (!std::fgets(out, kLineChars + 1, f)) return false;
    std::size_t n = std::strlen(out);
    if (n > 0 && out[n - 1] != '\n' && !std::feof(f)) {
        // Longer than a line may be: drop the rest of it.
        int c;
        while ((c = std::fgetc(f)) != EOF && c != '\n') {
        }
    }
    while (n > 0 && (out[n - 1] == '\n' || out[n - 1] == '\r')) out[--n] = '\0';
    return true;
}
}  // namespace

bool ImageList::load(const std::string& list_path, int count) {
    release();
    count_ = count < 0 ? 0 : count;
    file_ = list_path;
    slots_ = orvo::make_zeroed<char>(static_cast<std::size_t>(count_) * kSlot);
    if (!slots_) return false;
    std::FILE* f = std::fopen(list_path.c_str(), "rb");
    if (f) {
        char line[kLineChars + 1];
        for (int i = 0; i < count_ && read_line(f, line); ++i)
            std::memcpy(slots_.get() + static_cast<std::size_t>(i) * kSlot, line, std::strlen(line) + 1);
        std::fclose(f);
    }
    return true;
}

void ImageList::release() {
    slots_.reset();
    count_ = 0;
}

std::string ImageList::entry(int index) const {
    if (index < 1 || index > count_) return std::string();
    if (slots_) return std::string(slots_.get() + static_cast<std::size_t>(index - 1) * kSlot);
    std::FILE* f = std::fopen(file_.c_str(), "rb");
    if (!f) return std::string();
    char line[kLineChars + 1] = {};
    std::string out;
    for (int i = 1; read_line(f, line); ++i) {
        if (i == index) {
            out = line;
            break;
        }
    }
    std::fclose(f);
    return out;
}

}  // namespace desk
