// Writing files through a temporary copy and a rename.
#include "kb/staged_file.h"

#include <cstdio>
#include <unistd.h>

#include "kb/byte_buffer.h"
#include "zero_alloc.h"

namespace gn {

StagedFile::~StagedFile() { discard(); }

std::string StagedFile::temp_path_for(const char* path) { return std::string(path) + ".tmp"; }

bool StagedFile::stage(const char* path, const std::uint8_t* data, std::size_t size) {
    discard();
    const std::string temp = temp_path_for(path);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = fsync(fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
    target_ = path;
    temp_ = temp;
    return true;
}

bool StagedFile::commit() {
    if (temp_.empty()) return false;
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        discard();
        return false;
    }
    temp_.clear();
    return true;
}

void StagedFile::discard() {
    if (!temp_.empty()) std::remove(temp_.c_str());
    temp_.clear();
}

bool copy_file(const char* from, const char* to) {
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (read_whole_file(from, &data, &size) <= 0) return false;
    StagedFile f;
    const bool ok = f.stage(to, data, size) && f.commit();
    orvo::zero_free(data);
    return ok;
}

}  // namespace gn
