// A temporary folder removed with its contents at the end of its scope, and byte-file helpers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// A temporary folder made the working one while alive; the previous one comes back at the end.
struct WorkDir : TempDir {
    std::filesystem::path old = std::filesystem::current_path();
    WorkDir() { std::filesystem::current_path(path()); }
    ~WorkDir() { std::error_code ec; std::filesystem::current_path(old, ec); }
};

void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> read_bytes(const std::string& path);

}  // namespace testsupport
