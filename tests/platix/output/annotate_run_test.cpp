// platix read --annotate: frames in their colours at the JSON boxes, and
// numbered copies for images of the same name.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <set>

#include "temp_dir.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

// True when some pixel within `reach` of (x, y) has the colour.
bool colour_near(const Rgb& p, int x, int y, int reach, std::array<int, 3> colour) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const int xx = x + dx, yy = y + dy;
            if (xx >= 0 && yy >= 0 && xx < p.w && yy < p.h && p.at(xx, yy) == colour) return true;
        }
    return false;
}

std::set<std::string> names_in(const std::string& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
}

const std::array<int, 3> kGreen{0, 224, 0};
const std::array<int, 3> kRed{224, 0, 0};
const std::array<int, 3> kPink{240, 120, 224};

}  // namespace

TEST(PlatixAnnotateRun, DrawsFieldAndCharacterFramesInTheirColours) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --image-format png --out " + dir.file("s") + " --count 3 --seed 21", dir.path()).status, 0);
    const std::string kb = std::string(PLATIX_SOURCE_DIR) + "/data/kb/plates.kbf";
    int fields_checked = 0, chars_checked = 0;
    for (const char* stem : {"scene00001", "scene00002", "scene00003"}) {
        // Gray copies, so that the page the program holds is the file itself.
        const std::string image = dir.file(std::string(stem) + ".png");
        write_gray(image, read_gray(dir.file(std::string("s/") + stem + ".png")));
        ToolRun r = platix("read --quiet --format json --kb " + kb + " --annotate " + dir.file("out") + " " + image,
                           dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        const Rgb page = read_rgb(dir.file(std::string("out/") + stem + ".png"));
        const Gray source = read_gray(image);
        ASSERT_EQ(page.w, source.w);
        ASSERT_EQ(page.h, source.h);
        const std::size_t fields = nlohmann::json::parse(r.out)["fields"].size();
        ASSERT_GT(fields, 0u) << r.out;
        // The field boxes: each "box" directly after "raw".
        const std::regex fbox("\"raw\": \"[^\"]*\", \"box\": \\[(\\d+), (\\d+), (\\d+), (\\d+)\\]");
        std::size_t k = 0;
        for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), fbox); it != std::sregex_iterator(); ++it, ++k) {
            const int l = std::stoi((*it)[1]), t = std::stoi((*it)[2]), rr = std::stoi((*it)[3]), b = std::stoi((*it)[4]);
            const auto colour = k == 0 ? kGreen : kRed;
            EXPECT_TRUE(colour_near(page, l, t, 1, colour) && colour_near(page, rr, b, 1, colour) &&
                        colour_near(page, (l + rr) / 2, b, 1, colour)) << stem << " field " << k;
            ++fields_checked;
        }
        EXPECT_EQ(k, fields);
        // The character boxes: each frame is drawn one pixel outside the box.
        const std::regex cbox("\\{\"c\": \"[^\"]*\", \"box\": \\[(\\d+), (\\d+), (\\d+), (\\d+)\\]");
        for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), cbox); it != std::sregex_iterator(); ++it) {
            const int l = std::stoi((*it)[1]), t = std::stoi((*it)[2]), rr = std::stoi((*it)[3]), b = std::stoi((*it)[4]);
            EXPECT_TRUE(colour_near(page, l - 1, t - 1, 1, kPink) && colour_near(page, rr + 1, b + 1, 1, kPink)) << stem;
            EXPECT_EQ(page.at((l + rr) / 2, (t + b) / 2)[0], page.at((l + rr) / 2, (t + b) / 2)[1]) << "inside stays gray";
            ++chars_checked;
        }
        // Away from every frame the page is the gray picture itself.
        const int g = source.px[static_cast<std::size_t>(2 * source.w + 2)];
        EXPECT_EQ(page.at(2, 2), (std::array<int, 3>{g, g, g}));
    }
    EXPECT_GT(fields_checked, 0);
    EXPECT_GT(chars_checked, 0);
}

TEST(PlatixAnnotateRun, SameFileNamesInDifferentFoldersGetNumberedCopies) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --image-format png --out " + dir.file("s") + " --count 2 --seed 21", dir.path()).status, 0);
    fs::create_directories(dir.file("a"));
    fs::create_directories(dir.file("b"));
    // Gray copies, so that the page the program holds is the file itself.
    write_gray(dir.file("a/car.png"), read_gray(dir.file("s/scene00001.png")));
    write_gray(dir.file("b/car.png"), read_gray(dir.file("s/scene00002.png")));
    fs::copy_file(dir.file("a/car.png"), dir.file("car.png"));
    // A label beside an image is skipped and takes no name.
    fs::copy_file(dir.file("s/scene00001.txt"), dir.file("a/car.txt"));
    for (const char* jobs : {"1", "2"}) {
        const std::string out = dir.file(std::string("out") + jobs);
        ToolRun r = platix(std::string("read --quiet --jobs ") + jobs + " --annotate " + out + " " + dir.file("a") + " " +
                               dir.file("b") + " " + dir.file("car.png"),
                           dir.path());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(names_in(out), (std::set<std::string>{"car.png", "car-2.png", "car-3.png"})) << jobs;
        // In input order: a/car.png, b/car.png, then car.png.
        const Rgb first = read_rgb(out + "/car.png"), second = read_rgb(out + "/car-2.png"), third = read_rgb(out + "/car-3.png");
        const Gray a = read_gray(dir.file("a/car.png")), b = read_gray(dir.file("b/car.png"));
        ASSERT_EQ(first.w, a.w);
        ASSERT_EQ(second.w, b.w);
        EXPECT_EQ(first.px, third.px);
        EXPECT_EQ(first.at(1, 1)[0], a.px[static_cast<std::size_t>(a.w + 1)]);
        EXPECT_EQ(second.at(1, 1)[0], b.px[static_cast<std::size_t>(b.w + 1)]);
    }
    // A second run writes the same names again rather than adding more.
    ToolRun again = platix("read --quiet --annotate " + dir.file("out1") + " " + dir.file("a") + " " + dir.file("b"),
                           dir.path());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(names_in(dir.file("out1")), (std::set<std::string>{"car.png", "car-2.png", "car-3.png"}));
}

// An enlarged colour picture is annotated at file size, in colour, with the text on a band.
TEST(PlatixAnnotateRun, ColourPictureAtFileSizeWithFramesAtTheJsonBoxesAndText) {
    testsupport::TempDir dir;
    ASSERT_EQ(platix("synth --image-format png --out " + dir.file("s") + " --count 1 --seed 21", dir.path()).status, 0);
    const Rgb big = read_rgb(dir.file("s/scene00001.png"));
    ASSERT_GT(big.w, 0);
    Rgb small;  // every other pixel: about half size, so the page is enlarged
    small.w = big.w / 2;
    small.h = big.h / 2;
    for (int y = 0; y < small.h; ++y)
        for (int x = 0; x < small.w; ++x)
            for (int c : big.at(2 * x, 2 * y)) small.px.push_back(static_cast<unsigned char>(c));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(small.w);
    image.height = static_cast<png_uint_32>(small.h);
    image.format = PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&image, dir.file("small.png").c_str(), 0, small.px.data(), 0, nullptr));

    const ToolRun r = platix("read -q --format json --annotate " + dir.file("out") + " " + dir.file("small.png"), dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_NE(r.out.find("\"width\": " + std::to_string(small.w) + ", \"height\": " + std::to_string(small.h)),
              std::string::npos)
        << r.out;
    ASSERT_EQ(r.out.find("\"scale\": [1, 1]"), std::string::npos) << "the page should be enlarged: " << r.out;
    const Rgb out = read_rgb(dir.file("out/small.png"));
    ASSERT_EQ(out.w, small.w);
    ASSERT_EQ(out.h, small.h);
    const auto doc = nlohmann::json::parse(r.out);
    ASSERT_FALSE(doc["fields"].empty()) << r.out;
    const auto& field = doc["fields"][0];
    const int l = field["box"][0], t = field["box"][1], rr = field["box"][2], b = field["box"][3];
    const std::string text = field["text"];
    EXPECT_TRUE(colour_near(out, l, t, 1, kGreen) && colour_near(out, rr, b, 1, kGreen) &&
                colour_near(out, (l + rr) / 2, t, 1, kGreen));
    if (!text.empty()) {
        int band = 0, white = 0;  // the text band: dark green with white letters, next to the frame
        for (int y = std::max(0, t - 40); y < t; ++y)
            for (int x = l; x < std::min(out.w, l + 80); ++x) {
                band += out.at(x, y) == std::array<int, 3>{0, 150, 0};
                white += out.at(x, y) == std::array<int, 3>{255, 255, 255};
            }
        EXPECT_GT(band, 20);
        EXPECT_GT(white, 5);
    }
    // Away from the frames the picture keeps its colours.
    int same = 0, coloured = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < out.w; ++x) {
            same += out.at(x, y) == small.at(x, y);
            coloured += small.at(x, y)[0] != small.at(x, y)[2];
        }
    EXPECT_EQ(same, 8 * out.w);
    EXPECT_GT(coloured, 0) << "the synthetic scene should have colour at its top";
}
