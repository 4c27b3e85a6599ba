// Choosing images and loading them: the File(s) dialog request, the image
// list file, the call sequence of a load, titles, status texts and lights.
#include "shell_fakes.h"

using desk::Light;
using fakes::exists;
using platix::kFiles;

class ShellChoosesImages : public fakes::ShellTest {};

TEST_F(ShellChoosesImages, AsksWithTheImageFiltersInTheImageFolderAndTheRememberedType) {
    start();
    run(kFiles);  // cancelled: nothing changes
    fakes::write_file(ini(), "[last_used]\r\nimage_file=/pics/old.png\r\n");
    start();
    run(kFiles);
    ASSERT_EQ(files.requests.size(), 2u);
    const desk::OpenFileRequest& rq = files.requests[0];
    EXPECT_EQ(rq.title, "Select image file(s)");
    EXPECT_TRUE(rq.multiple);
    EXPECT_EQ(rq.initial_folder + " " + rq.default_ext + " " + std::to_string(rq.filter_index), dir.path + " jpg 1");
    EXPECT_EQ(rq.filters.size(), 8u);
    const desk::OpenFileRequest& png = files.requests[1];
    EXPECT_EQ(png.initial_folder + " " + png.default_ext + " " + std::to_string(png.filter_index), "/pics png 2");
    EXPECT_TRUE(lib.opened.empty());
    EXPECT_EQ(shell->shared().image_count, 0);
    EXPECT_EQ(label(platix::kTxtPosition), "#0/0");
}

TEST_F(ShellChoosesImages, AsksAgainAfterTooManyFiles) {
    start();
    std::vector<std::string> many;
    for (int i = 0; i < 2100; ++i) many.push_back(at("image" + std::to_string(1000 + i) + ".jpg"));
    files.answers.push_back(scripted::chosen(many));
    lib.loadable = {"one.jpg"};
    choose({at("one.jpg")});
    EXPECT_EQ(files.requests.size(), 2u);
    ASSERT_GE(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Sorry, too many files selected at once! Selection buffer exceeded.");
    EXPECT_EQ(lib.opened, std::vector<std::string>{"one.jpg"});
}

TEST_F(ShellChoosesImages, SortsSeveralByNameAndLoadsTheFirstWithoutAnalysing) {
    std::filesystem::create_directory(at("pics"));
    start();
    lib.loadable = {"a.jpg", "b.jpg", "c.jpg"};
    files.answers.push_back(scripted::chosen({at("pics/c.jpg"), at("pics/a.jpg"), at("pics/b.jpg")}));
    shell->command(kFiles);
    EXPECT_TRUE(queue.posted.empty());
    EXPECT_EQ(lib.opened, std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(shell->image_list().count(), 3);
    EXPECT_EQ(shell->image_list().entry(1), at("pics/a.jpg"));
    EXPECT_EQ(shell->image_list().entry(3), at("pics/c.jpg"));
    EXPECT_FALSE(exists(at("$imglst$.$$$")));  // read back and deleted
    EXPECT_EQ(shell->image_folder(), at("pics"));
    EXPECT_EQ(std::filesystem::current_path().string(), at("pics"));
    EXPECT_EQ(label(platix::kTxtPosition), "#1/3");
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 10}));
}

// One file alone is analysed at once when it loads: the load clears, opens
// and titles the page, busy meanwhile.
TEST_F(ShellChoosesImages, OneFileIsLoadedAndAnalysedAtOnce) {
    start();
    files.answers.push_back(scripted::chosen({at("broken.jpg")}));
    shell->command(kFiles);
    EXPECT_TRUE(queue.posted.empty());
    EXPECT_FALSE(shell->image_loaded());
    lib.loadable = {"car.jpg"};
    lib.calls.clear();
    std::vector<int> enabled_mid_load;
    std::string status_mid_load;
    win.on_paint = [&] {
        enabled_mid_load = enabled();
        status_mid_load = label(platix::kTxtStatus);
        EXPECT_TRUE(shell->busy());
        EXPECT_EQ(cursor.kind, desk::CursorKind::Wait);
        EXPECT_EQ(win.light, Light::Red);
    };
    files.answers.push_back(scripted::chosen({at("car.jpg")}));
    shell->command(kFiles);
    EXPECT_EQ(queue.posted, std::deque<unsigned>{platix::kAnalyse});
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"clear", "set car.jpg", "open"}));
    EXPECT_TRUE(enabled_mid_load.empty());
    EXPECT_EQ(status_mid_load, "Loading image. Please wait...");
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - car.jpg [640x480]");
    EXPECT_EQ(label(platix::kTxtStatus), "Image loaded and displayed.");
    EXPECT_EQ(win.light, Light::Gray);
    EXPECT_EQ(cursor.kind, desk::CursorKind::Arrow);
    EXPECT_FALSE(shell->busy());
    EXPECT_TRUE(shell->image_loaded());
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
}

TEST_F(ShellChoosesImages, TitlesAScaledPageAndAPageOfSeveral) {
    start();
    lib.loadable = {"big.tif"};
    lib.page_of_loaded.xscale = lib.page_of_loaded.yscale = -2;
    lib.page_of_loaded.n_pages = 3;
    lib.page_of_loaded.crt_page = 1;
    choose({at("big.tif")});
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - big.tif [p.#1/3 640x480 (scaled from 1280x960)]");
}

// A file that does not open, and one that opens but cannot be shown.
TEST_F(ShellChoosesImages, ALoadOrPaintErrorGivesTheErrorTitle) {
    start();
    choose({at("bad.png")});
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - bad.png (Error!)");
    EXPECT_EQ(label(platix::kTxtStatus), "Error: Couldn't load image.");
    EXPECT_TRUE(win.erased);
    EXPECT_EQ(win.lights, (std::vector<Light>{Light::Red, Light::Gray}));
    EXPECT_FALSE(shell->image_loaded());
    lib.loadable = {"car.jpg"};
    win.paint_ok = false;
    files.answers.push_back(scripted::chosen({at("car.jpg")}));
    shell->command(kFiles);
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - car.jpg (Error!)");
    EXPECT_EQ(label(platix::kTxtStatus), "Error: Couldn't show image.");
    EXPECT_TRUE(win.erased);
    EXPECT_TRUE(shell->image_loaded());  // the file was found
}
