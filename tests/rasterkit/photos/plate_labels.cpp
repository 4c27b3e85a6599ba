// Reading plate labels and mapping fields back to file pixels.
#include "plate_labels.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace photos {

namespace fs = std::filesystem;

std::string plates_dir() {
    std::error_code ec;
    if (const char* env = std::getenv("ORVO_PLATES_DIR"); env != nullptr && *env != '\0' && fs::is_directory(env, ec)) return env;
    const fs::path beside = fs::path(ORVO_SOURCE_DIR) / ".." / "shared" / "data" / "plates";
    return fs::is_directory(beside, ec) ? beside.lexically_normal().string() : std::string{};
}

std::vector<LabelledImage> labelled_images(const std::string& folder) {
    std::vector<LabelledImage> out;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().extension() != ".txt") continue;
        std::ifstream in(entry.path());
        std::string line, name;
        LabelledImage l;
        if (!std::getline(in, line)) continue;
        std::istringstream fields(line);
        if (!std::getline(fields, name, '\t') || !(fields >> l.x >> l.y >> l.w >> l.h) || fields.get() != '\t') continue;
        std::getline(fields, l.plate);
        // The label may name another extension than the file has.
        for (const char* ext : {".jpg", ".png", ".jpeg", ".JPG", ".PNG"}) {
            const fs::path candidate = fs::path(entry.path()).replace_extension(ext);
            if (l.image.empty() && fs::exists(candidate, ec)) l.image = candidate.string();
        }
        if (!l.image.empty() && l.w > 0 && l.h > 0) out.push_back(l);
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.image < b.image; });
    return out;
}

// A page coordinate in file pixels: enlarged pages divide, reduced ones multiply.
static int to_file(int v, int scale) { return scale >= 1 ? v / scale : v * -scale; }

bool on_plate(const seg_result& r, int xscale, int yscale, const LabelledImage& label) {
    const int x = to_file((r.left + r.right) / 2, xscale), y = to_file((r.top + r.bottom) / 2, yscale);
    return x >= label.x && x < label.x + label.w && y >= label.y && y < label.y + label.h;
}

}  // namespace photos
