// Label lines and label files: columns, relative paths, comments, bad lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "labels.h"
#include "temp_dir.h"

using namespace platix;

TEST(LabelLineParse, ReadsTheSixColumnsAndNamesWhatIsWrong) {
    LabelledImage l;
    std::string error;
    ASSERT_TRUE(parse_label_line("eu1.jpg\t396\t340\t203\t46\tM5XSX\r", &l, &error) && l.plate == "M5XSX");  // a CR ends it
    const std::pair<const char*, const char*> bad[] = {
        {"", ""},
        {"a.jpg\t1\t2\t3\tABC", "expected 6 tab-separated columns, found 5"},
        {"a.jpg\t1\tx\t3\t4\tABC", "column y is not a whole number: 'x'"},
        {"a.jpg\t1\t2\t0\t4\tABC", "the box has no area"},
        {"a.jpg\t1\t2\t3\t4\t  ", "empty plate text"},
    };
    for (const auto& [line, why] : bad) {
        error.clear();
        EXPECT_FALSE(parse_label_line(line, &l, &error)) << line;
        EXPECT_EQ(error, why);
    }
    EXPECT_TRUE(normalise_plate(" ab 12\tc ") == "AB12C" && normalise_plate("A-1") == "A-1");
}

TEST(LabelFileRead, ResolvesNamesSkipsCommentsAndReportsBadLines) {
    testsupport::TempDir dir;
    std::ofstream(dir.file("set.txt")) << "# name x y w h plate\n  # indented comment\n"
                                       << "sub/a.png\t1\t2\t3\t4\tAB 12\n\nbroken line\nb.jpg\t5\t6\t7\t8\tCD34\n";
    std::vector<std::string> problems;
    const auto labels = read_label_file(dir.file("set.txt"), problems);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_TRUE(labels[0].image_path == dir.file("sub/a.png") && labels[0].folder == dir.file("sub")) << labels[0].folder;
    EXPECT_EQ(labels[1].image_path, dir.file("b.jpg"));
    EXPECT_EQ(problems, std::vector<std::string>{dir.file("set.txt") + ":5: expected 6 tab-separated columns, found 1"});
    // A folder gives its text files in name order; a missing path is one problem.
    std::filesystem::create_directories(dir.file("f"));
    for (const std::string n : {"b", "a"}) std::ofstream(dir.file("f/" + n + ".txt")) << n << ".png\t1\t1\t5\t5\tX" << n << "X\n";
    std::ofstream(dir.file("f/a.png")) << "not read here";
    problems.clear();
    const auto in_folder = collect_labels({dir.file("f"), dir.file("missing")}, problems);
    ASSERT_EQ(in_folder.size(), 2u);
    EXPECT_TRUE(in_folder[0].image_path == dir.file("f/a.png") && in_folder[1].image_path == dir.file("f/b.png"));
    EXPECT_EQ(problems, std::vector<std::string>{dir.file("missing") + ": no such file or folder"});
}

TEST(LabelBox, OutsideTheImageIsNoted) {
    LabelledImage l;
    l.image_path = "p.jpg", l.x = 10, l.y = 20, l.w = 100, l.h = 30;
    EXPECT_EQ(box_outside_note(l, 110, 50), "");
    EXPECT_EQ(box_outside_note(l, 109, 50), "p.jpg: the labelled box 10,20 100x30 reaches outside the 109 x 50 image");
    EXPECT_NE(box_outside_note(l, 200, 49), "");
    l.x = -1;
    EXPECT_TRUE(box_outside_note(l, 200, 200) != "" && box_outside_note(l, 0, 0) == "");  // size 0: unknown
}
