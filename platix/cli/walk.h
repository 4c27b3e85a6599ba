// Turning the read command's paths into the list of files to read.
#pragma once

#include <string>
#include <vector>

namespace platix {

struct InputFile {
    std::string path;
    bool from_folder = false;  // found by walking a folder (skipped quietly when not an image)
};

// Files given directly, in argument order, and the files of every folder
// given, walked recursively in name order. Paths that do not exist are
// still listed (their reading fails and is reported then).
std::vector<InputFile> expand_inputs(const std::vector<std::string>& paths);

}  // namespace platix
