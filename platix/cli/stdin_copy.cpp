// Copying standard input into a private file.
#include "stdin_copy.h"

#include <cstdio>
#include <stdexcept>

namespace platix {

StdinCopy::StdinCopy() : folder_("platix-stdin"), path_(folder_.path() + "/stdin") {
    std::FILE* out = std::fopen(path_.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot copy standard input to " + path_);
    char buf[65536];
    std::size_t n = 0;
    bool ok = true;
    while (ok && (n = std::fread(buf, 1, sizeof buf, stdin)) > 0) ok = std::fwrite(buf, 1, n, out) == n;
    ok = ok && !std::ferror(stdin);
    if (std::fclose(out) != 0) ok = false;
    if (!ok) throw std::runtime_error("cannot copy standard input to " + path_);
}

}  // namespace platix
