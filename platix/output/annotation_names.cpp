// Choosing clash-free names for annotated copies.
#include "annotation_names.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platix {

std::string AnnotationNames::claim(const std::string& image_path) {
    std::string stem = fs::path(image_path).stem().string();
    if (stem.empty()) stem = "image";
    std::string name = stem + ".png";
    for (int k = 2; taken_.count(name) != 0; ++k) name = stem + "-" + std::to_string(k) + ".png";
    taken_.insert(name);
    return name;
}

std::string annotation_scratch_path(const std::string& dir, long run_id, std::size_t index) {
    return (fs::path(dir) / (".platix-" + std::to_string(run_id) + "-" + std::to_string(index) + ".png.part")).string();
}

}  // namespace platix
