// The cross-validation split: deterministic by file name, balanced within every folder, one fold per image.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "folds.h"

using namespace platix;

namespace {

LabelledImage image(const std::string& folder, const std::string& name) {
    LabelledImage l;
    l.folder = folder, l.image_path = folder + "/" + name;
    return l;
}

}  // namespace

TEST(FoldSplit, DealsEachFolderInNameOrderBalancedAndWhateverTheListingOrder) {
    std::vector<LabelledImage> labels;
    for (int i = 0; i < 11; ++i) labels.push_back(image("eu", "car" + std::to_string(100 + i) + ".jpg"));
    for (int i = 0; i < 7; ++i) labels.push_back(image("us", "p" + std::to_string(i) + ".png"));
    const auto fold = assign_folds(labels, 5);
    ASSERT_EQ(fold.size(), labels.size());
    std::map<std::string, std::vector<int>> per_folder{{"eu", std::vector<int>(5)}, {"us", std::vector<int>(5)}};  // fold sizes
    std::map<std::string, int> by_path;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        ASSERT_TRUE(fold[i] >= 0 && fold[i] < 5) << fold[i];
        ++per_folder[labels[i].folder][static_cast<std::size_t>(fold[i])], by_path[labels[i].image_path] = fold[i];
    }
    EXPECT_EQ(per_folder["eu"], (std::vector<int>{3, 2, 2, 2, 2}));
    EXPECT_EQ(per_folder["us"], (std::vector<int>{2, 2, 1, 1, 1}));
    // Name order: car100 in fold 0, car101 in fold 1, ..., car105 in fold 0 again.
    EXPECT_EQ(std::vector<int>(fold.begin(), fold.begin() + 6), (std::vector<int>{0, 1, 2, 3, 4, 0}));
    std::reverse(labels.begin(), labels.end()), std::rotate(labels.begin(), labels.begin() + 5, labels.end());
    const auto after = assign_folds(labels, 5);
    for (std::size_t i = 0; i < labels.size(); ++i) EXPECT_EQ(after[i], by_path[labels[i].image_path]) << labels[i].image_path;
    // More folds than images leave some folds empty.
    EXPECT_EQ(assign_folds({image("br", "b.jpg"), image("br", "a.jpg")}, 4), (std::vector<int>{1, 0}));
}
