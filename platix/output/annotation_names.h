// Names of the annotated copies written by `platix read --annotate DIR`.
// Several inputs may share a file name (a/car.jpg, b/car.jpg, car.png):
// the first image read writes car.png, the next car-2.png, then car-3.png,
// in the order the images are listed, so no copy overwrites another and
// the names do not depend on the number of jobs.
#pragma once

#include <set>
#include <string>

namespace platix {

class AnnotationNames {
public:
    // The file name (no folder) for the annotated copy of `image_path`:
    // STEM.png when unused in this run, else STEM-2.png, STEM-3.png, ...,
    // the first that is still unused. The name returned is then taken.
    std::string claim(const std::string& image_path);

private:
    std::set<std::string> taken_;
};

// Where a worker writes the copy of image `index` before it gets its
// final name: a hidden file in `dir`, unique to this run (`run_id`).
std::string annotation_scratch_path(const std::string& dir, long run_id, std::size_t index);

}  // namespace platix
