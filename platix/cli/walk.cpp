// Walking folders of images in name order.
#include "walk.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace platix {

namespace {

void walk_folder(const fs::path& folder, std::vector<InputFile>& out, int depth) {
    if (depth > 64) return;  // a loop of links; give up on this branch
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (const auto& e : fs::directory_iterator(folder, ec)) entries.push_back(e);
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) {
                  return a.path().filename().string() < b.path().filename().string();
              });
    for (const auto& e : entries) {
        if (e.is_directory(ec)) walk_folder(e.path(), out, depth + 1);
        else if (e.is_regular_file(ec)) out.push_back({e.path().string(), true});
    }
}

}  // namespace

std::vector<InputFile> expand_inputs(const std::vector<std::string>& paths) {
    std::vector<InputFile> out;
    for (const auto& p : paths) {
        std::error_code ec;
        if (fs::is_directory(p, ec)) walk_folder(p, out, 0);
        else out.push_back({p, false});
    }
    return out;
}

}  // namespace platix
