// A private temporary folder for the length of a run: scenes made for a
// training, the knowledge bases of cross-validation folds.
#pragma once

#include <string>

namespace platix {

// A new empty folder PREFIX-XXXXXX in the system's temporary folder,
// removed with its contents when the object goes. Throws
// std::runtime_error when it cannot be made.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace platix
