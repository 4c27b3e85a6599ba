// The list of chosen image paths, read back from the image list file: one
// path a line, lines read up to 256 characters with the line end cut off.
// Entries are 260-byte slots from the zero-filling allocator; when those
// cannot be had, the file is kept and entries are read from it by line.
#pragma once

#include <string>

#include "zero_alloc.h"

namespace desk {

class ImageList {
public:
    // Reads the list file written for `count` entries. Returns true when the
    // entries are held in memory (the caller then deletes the file), false
    // when they stay in the file.
    bool load(const std::string& list_path, int count);
    void release();
    int count() const { return count_; }
    // Entry 1..count; "" outside the list or when it cannot be read.
    std::string entry(int index) const;
    bool in_memory() const { return slots_ != nullptr; }

private:
    orvo::ZeroPtr<char> slots_;
    int count_ = 0;
    std::string file_;
};

}  // namespace desk
