// The cross-validation split: deterministic by file name, balanced within
// every folder, and every image in exactly one fold.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "folds.h"

using namespace platix;

namespace {

LabelledImage image(const std::string& folder, const std::string& name) {
    LabelledImage l;
    l.folder = folder;
    l.image_path = folder + "/" + name;
    l.plate = name;
    return l;
}

std::vector<LabelledImage> two_folders() {
    std::vector<LabelledImage> v;
    for (int i = 0; i < 11; ++i) v.push_back(image("eu", "car" + std::to_string(100 + i) + ".jpg"));
    for (int i = 0; i < 7; ++i) v.push_back(image("us", "p" + std::to_string(i) + ".png"));
    return v;
}

}  // namespace

TEST(FoldSplit, DealsEachFolderInNameOrderAndBalancesTheFolds) {
    const auto labels = two_folders();
    const auto fold = assign_folds(labels, 5);
    ASSERT_EQ(fold.size(), labels.size());
    std::map<std::string, std::vector<int>> per_folder;  // fold sizes per folder
    for (std::size_t i = 0; i < labels.size(); ++i) {
        ASSERT_GE(fold[i], 0);
        ASSERT_LT(fold[i], 5);
        auto& sizes = per_folder[labels[i].folder];
        sizes.resize(5);
        ++sizes[static_cast<std::size_t>(fold[i])];
    }
    EXPECT_EQ(per_folder["eu"], (std::vector<int>{3, 2, 2, 2, 2}));
    EXPECT_EQ(per_folder["us"], (std::vector<int>{2, 2, 1, 1, 1}));
    // Name order: car100 in fold 0, car101 in fold 1, ..., car105 in fold 0 again.
    EXPECT_EQ(fold[0], 0);
    EXPECT_EQ(fold[1], 1);
    EXPECT_EQ(fold[5], 0);
}

TEST(FoldSplit, DoesNotDependOnTheOrderTheImagesWereListedIn) {
    auto labels = two_folders();
    const auto before = assign_folds(labels, 3);
    std::map<std::string, int> by_path;
    for (std::size_t i = 0; i < labels.size(); ++i) by_path[labels[i].image_path] = before[i];
    std::reverse(labels.begin(), labels.end());
    std::rotate(labels.begin(), labels.begin() + 5, labels.end());
    const auto after = assign_folds(labels, 3);
    for (std::size_t i = 0; i < labels.size(); ++i)
        EXPECT_EQ(after[i], by_path[labels[i].image_path]) << labels[i].image_path;
}

TEST(FoldSplit, MoreFoldsThanImagesLeaveSomeFoldsEmpty) {
    const std::vector<LabelledImage> labels{image("br", "b.jpg"), image("br", "a.jpg")};
    EXPECT_EQ(assign_folds(labels, 4), (std::vector<int>{1, 0}));
}
