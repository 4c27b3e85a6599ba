// The split of labelled images into folds for cross-validation.
#pragma once

#include <vector>

#include "labels.h"

namespace platix {

// The fold (0 .. k-1) of every label: within each folder the images are
// taken in order of file name (then path) and dealt to the folds in turn,
// so each fold holds about 1/k of every folder, and the same files always
// give the same split whatever order they were listed in.
std::vector<int> assign_folds(const std::vector<LabelledImage>& labels, int k);

}  // namespace platix
