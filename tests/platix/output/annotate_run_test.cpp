// platix read --annotate: frames in their colours at the JSON boxes, and numbered copies for images of the same name.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "library_writers.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

using C = std::array<int, 3>;
const C kGreen{0, 224, 0}, kRed{224, 0, 0}, kPink{240, 120, 224};

// True when some pixel within one of each point has the colour.
bool colour_near(const Rgb& p, std::initializer_list<std::pair<int, int>> points, C colour) {
    for (const auto& [x, y] : points) {
        bool found = false;
        for (int yy = std::max(0, y - 1); yy <= std::min(p.h - 1, y + 1); ++yy)
            for (int xx = std::max(0, x - 1); xx <= std::min(p.w - 1, x + 1); ++xx) found = found || p.at(xx, yy) == colour;
        if (!found) return false;
    }
    return true;
}

std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
}

class PlatixAnnotateRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(platix("synth --image-format png --out " + dir_.file("s") + " --count 3 --seed 21", dir_.path()).status, 0);
    }
    // A gray copy of scene k, so that the page the program holds is the file itself.
    std::string gray_copy(int k, const std::string& name) {
        write_gray(dir_.file(name), read_gray(dir_.file("s/scene0000" + std::to_string(k) + ".png")));
        return dir_.file(name);
    }
    testsupport::TempDir dir_;
};

}  // namespace

TEST_F(PlatixAnnotateRun, DrawsFieldAndCharacterFramesInTheirColours) {
    const std::string kb = std::string(PLATIX_SOURCE_DIR) + "/data/kb/plates.kbf";
    int fields_checked = 0, chars_checked = 0;
    for (int k = 1; k <= 3; ++k) {
        const std::string image = gray_copy(k, "g" + std::to_string(k) + ".png");
        const ToolRun r = platix("read -q --format json --kb " + kb + " --annotate " + dir_.file("out") + " " + image, dir_.path());
        ASSERT_EQ(r.status, 0) << r.err;
        const Rgb page = read_rgb(dir_.file("out/g" + std::to_string(k) + ".png"));
        const Gray source = read_gray(image);
        ASSERT_TRUE(page.w == source.w && page.h == source.h);
        const auto doc = nlohmann::json::parse(r.out);
        ASSERT_GT(doc["fields"].size(), 0u) << r.out;
        for (std::size_t i = 0; i < doc["fields"].size(); ++i, ++fields_checked) {
            const auto& f = doc["fields"][i];
            const int l = f["box"][0], t = f["box"][1], rr = f["box"][2], b = f["box"][3];
            EXPECT_TRUE(colour_near(page, {{l, t}, {rr, b}, {(l + rr) / 2, b}}, i == 0 ? kGreen : kRed)) << k << " field " << i;
            for (const auto& c : f["chars"]) {  // frames one pixel outside the box, the inside left gray
                const int cl = c["box"][0], ct = c["box"][1], cr = c["box"][2], cb = c["box"][3];
                EXPECT_TRUE(colour_near(page, {{cl - 1, ct - 1}, {cr + 1, cb + 1}}, kPink)) << k;
                const C inside = page.at((cl + cr) / 2, (ct + cb) / 2);
                EXPECT_EQ(inside[0], inside[1]) << "inside stays gray";
                ++chars_checked;
            }
        }
        const int g = source.px[static_cast<std::size_t>(2 * source.w + 2)];
        EXPECT_EQ(page.at(2, 2), (C{g, g, g}));  // away from every frame, the gray picture itself
    }
    EXPECT_TRUE(fields_checked > 0 && chars_checked > 0);
}

TEST_F(PlatixAnnotateRun, SameFileNamesInDifferentFoldersGetNumberedCopies) {
    for (const char* folder : {"a", "b"}) fs::create_directories(dir_.file(folder));
    const Gray a = read_gray(gray_copy(1, "a/car.png")), b = read_gray(gray_copy(2, "b/car.png"));
    fs::copy_file(dir_.file("a/car.png"), dir_.file("car.png"));
    fs::copy_file(dir_.file("s/scene00001.txt"), dir_.file("a/car.txt"));  // a label beside an image takes no name
    const std::set<std::string> numbered{"car.png", "car-2.png", "car-3.png"};
    for (const char* jobs : {"1", "2"}) {
        const std::string out = dir_.file(std::string("out") + jobs);
        const ToolRun r = platix(std::string("read -q --jobs ") + jobs + " --annotate " + out + " " + dir_.file("a") + " " +
                                 dir_.file("b") + " " + dir_.file("car.png"), dir_.path());
        ASSERT_TRUE(r.status == 0 && r.err.empty()) << r.err;  // --quiet: not even the count of files skipped
        EXPECT_EQ(names_in(out), numbered) << jobs;         // in input order: a/car.png, b/car.png, then car.png
        const Rgb first = read_rgb(out + "/car.png"), second = read_rgb(out + "/car-2.png"), third = read_rgb(out + "/car-3.png");
        ASSERT_TRUE(first.w == a.w && second.w == b.w);
        EXPECT_TRUE(first.px == third.px && first.at(1, 1)[0] == a.px[static_cast<std::size_t>(a.w + 1)] &&
                    second.at(1, 1)[0] == b.px[static_cast<std::size_t>(b.w + 1)]) << jobs;
    }
    // A second run writes the same names again rather than adding more; without --quiet it counts the label skipped.
    const ToolRun again = platix("read --format csv --annotate " + dir_.file("out1") + " " + dir_.file("a") + " " + dir_.file("b"),
                                 dir_.path());
    EXPECT_TRUE(again.status == 0 && names_in(dir_.file("out1")) == numbered && again.out.rfind("file,field,text,", 0) == 0);
    EXPECT_NE(again.err.find("platix: 1 file skipped (not images)"), std::string::npos) << again.err;
}

// An enlarged colour picture is annotated at file size, in colour, with the text on a band.
TEST_F(PlatixAnnotateRun, ColourPictureAtFileSizeWithFramesAtTheJsonBoxesAndText) {
    const Rgb big = read_rgb(dir_.file("s/scene00001.png"));
    ASSERT_GT(big.w, 0);
    testsupport::RgbImage small{big.w / 2, big.h / 2, {}};  // every other pixel: the page is enlarged
    for (int i = 0; i < small.width * small.height; ++i) {
        const C c = big.at(2 * (i % small.width), 2 * (i / small.width));
        small.pixels.push_back({static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]), static_cast<std::uint8_t>(c[2])});
    }
    ASSERT_TRUE(testsupport::write_png(dir_.file("small.png"), small));
    const ToolRun r = platix("read -q --format json --annotate " + dir_.file("out") + " " + dir_.file("small.png"), dir_.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    ASSERT_TRUE(doc["width"] == small.width && doc["height"] == small.height && doc["scale"][0] > 1) << r.out;
    const Rgb out = read_rgb(dir_.file("out/small.png"));
    ASSERT_TRUE(out.w == small.width && out.h == small.height && !doc["fields"].empty()) << r.out;
    const auto& field = doc["fields"][0];
    const int l = field["box"][0], t = field["box"][1], rr = field["box"][2], b = field["box"][3];
    EXPECT_TRUE(colour_near(out, {{l, t}, {rr, b}, {(l + rr) / 2, t}}, kGreen));
    if (field["text"] != "") {
        int band = 0, white = 0;  // the text band: dark green with white letters, next to the frame
        for (int y = std::max(0, t - 40); y < t; ++y)
            for (int x = l; x < std::min(out.w, l + 80); ++x)
                band += out.at(x, y) == C{0, 150, 0}, white += out.at(x, y) == C{255, 255, 255};
        EXPECT_TRUE(band > 20 && white > 5) << band << " " << white;
    }
    int same = 0, coloured = 0;  // away from the frames the picture keeps its colours
    for (int x = 0; x < 8 * out.w; ++x) {
        const auto& s = small.pixels[static_cast<std::size_t>(x)];
        same += out.at(x % out.w, x / out.w) == C{s.r, s.g, s.b}, coloured += s.r != s.b;
    }
    EXPECT_EQ(same, 8 * out.w);
    EXPECT_GT(coloured, 0) << "the synthetic scene should have colour at its top";
}
