// Dealing labelled images into cross-validation folds by file name.
#include "folds.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

namespace platix {

std::vector<int> assign_folds(const std::vector<LabelledImage>& labels, int k) {
    std::vector<int> fold(labels.size(), 0);
    if (k < 1) return fold;
    std::map<std::string, std::vector<std::size_t>> by_folder;
    for (std::size_t i = 0; i < labels.size(); ++i) by_folder[labels[i].folder].push_back(i);
    for (auto& [folder, members] : by_folder) {
        std::sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
            const std::string na = std::filesystem::path(labels[a].image_path).filename().string();
            const std::string nb = std::filesystem::path(labels[b].image_path).filename().string();
            if (na != nb) return na < nb;
            if (labels[a].image_path != labels[b].image_path) return labels[a].image_path < labels[b].image_path;
            return a < b;
        });
        for (std::size_t n = 0; n < members.size(); ++n)
            fold[members[n]] = static_cast<int>(n % static_cast<std::size_t>(k));
    }
    return fold;
}

}  // namespace platix
