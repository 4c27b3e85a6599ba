// Making and removing a private temporary folder.
#include "scratch_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace platix {

ScratchFolder::ScratchFolder(const std::string& prefix) {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder " + tmpl);
    path_ = tmpl;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace platix
