// Safe replacement of files: the new contents go to a temporary file in the
// same folder, which is flushed to disk and then renamed over the old file,
// so a crash or a full disk never leaves a half-written file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace gn {

class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();  // discards what was not committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Writes the bytes to "<path>.tmp" and flushes it; false on any error
    // (the temporary file is removed, the target untouched).
    bool stage(const char* path, const std::uint8_t* data, std::size_t size);
    // Renames the staged file over the target; false on error.
    bool commit();
    // Removes the staged file, if any.
    void discard();

    static std::string temp_path_for(const char* path);

private:
    std::string target_;
    std::string temp_;
};

// Copies a file byte for byte (through a staged file); false on error.
bool copy_file(const char* from, const char* to);

}  // namespace gn
