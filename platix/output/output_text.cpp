// The plain text output: one line per image.
#include "output_format.h"

namespace platix {

std::string format_text_line(const ImageResult& r) {
    std::string line = r.path + "\t";
    if (r.status != ImageStatus::ok) return line + "ERROR: " + r.error + "\n";
    bool first = true;
    for (const auto& f : r.fields) {
        if (!first) line += " | ";
        line += f.text;
        first = false;
    }
    return line + "\n";
}

}  // namespace platix
