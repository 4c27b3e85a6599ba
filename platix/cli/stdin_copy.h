// Standard input as an image: "-" among the paths of `read` stands for the
// bytes piped in, copied once into a private file that the libraries open
// like any other.
#pragma once

#include <string>
#include "scratch_folder.h"

namespace platix {

class StdinCopy {
public:
    // Reads standard input to its end into a new private file. Throws
    // std::runtime_error when the copy cannot be written.
    StdinCopy();
    const std::string& path() const { return path_; }

private:
    ScratchFolder folder_;
    std::string path_;
};

}  // namespace platix
