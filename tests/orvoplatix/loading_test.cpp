// Choosing images and loading them: the File(s) dialog request, the image
// list file, the call sequence of a load, titles, status texts and lights.
#include "shell_fakes.h"

using fakes::exists;
using fakes::read_file;
using desk::Light;
using platix::kFiles;

class ShellChoosesImages : public fakes::ShellTest {};

TEST_F(ShellChoosesImages, AsksWithTheImageFiltersInTheImageFolder) {
    start();
    run(kFiles);  // cancelled
    ASSERT_EQ(files.requests.size(), 1u);
    const desk::OpenFileRequest& rq = files.requests[0];
    EXPECT_EQ(rq.title, "Select image file(s)");
    EXPECT_TRUE(rq.multiple);
    EXPECT_EQ(rq.initial_folder, dir.path);
    EXPECT_EQ(rq.default_ext, "jpg");
    ASSERT_EQ(rq.filters.size(), 8u);
    EXPECT_EQ(rq.filters[0].description, "JPEG files (*.jpg)");
    EXPECT_EQ(rq.filters[6].pattern, "*.img");
    EXPECT_EQ(rq.filters[7].description, "All files (*.*)");
    EXPECT_EQ(rq.filter_index, 1);
    // Cancelling changes nothing.
    EXPECT_TRUE(lib.opened.empty());
    EXPECT_EQ(shell->shared().image_count, 0);
    EXPECT_EQ(control(platix::kTxtPosition).label, "#0/0");
}

TEST_F(ShellChoosesImages, PreselectsTheFilterOfTheRememberedImage) {
    fakes::write_file(ini(), "[last_used]\r\nimage_file=/pics/old.png\r\n");
    start();
    run(kFiles);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].default_ext, "png");
    EXPECT_EQ(files.requests[0].filter_index, 2);
    EXPECT_EQ(files.requests[0].initial_folder, "/pics");
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
    EXPECT_TRUE(queue.posted.empty());  // several images: no analysis of its own
    EXPECT_EQ(lib.opened, std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(shell->image_list().count(), 3);
    EXPECT_EQ(shell->image_list().entry(1), at("pics/a.jpg"));
    EXPECT_EQ(shell->image_list().entry(3), at("pics/c.jpg"));
    EXPECT_FALSE(exists(at("$imglst$.$$$")));  // read back and deleted
    EXPECT_EQ(shell->image_folder(), at("pics"));
    EXPECT_EQ(std::filesystem::current_path().string(), at("pics"));
    EXPECT_EQ(control(platix::kTxtPosition).label, "#1/3");
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 10}));
}

TEST_F(ShellChoosesImages, OneLoadableFileIsAnalysedAtOnce) {
    start();
    lib.loadable = {"car.jpg"};
    files.answers.push_back(scripted::chosen({at("car.jpg")}));
    shell->command(kFiles);
    EXPECT_EQ(queue.posted, std::deque<unsigned>{platix::kAnalyse});
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
}

TEST_F(ShellChoosesImages, OneUnloadableFileIsNotAnalysed) {
    start();
    files.answers.push_back(scripted::chosen({at("broken.jpg")}));
    shell->command(kFiles);
    EXPECT_TRUE(queue.posted.empty());
    EXPECT_FALSE(shell->image_loaded());
}

class ShellLoads : public fakes::ShellTest {};

TEST_F(ShellLoads, ClearsThenOpensAndTitlesThePage) {
    start();
    lib.loadable = {"car.jpg"};
    std::vector<int> enabled_mid_load;
    std::string status_mid_load;
    win.on_paint = [&] {
        enabled_mid_load = enabled();
        status_mid_load = control(platix::kTxtStatus).label;
        EXPECT_TRUE(shell->busy());
        EXPECT_EQ(cursor.kind, desk::CursorKind::Wait);
        EXPECT_EQ(win.light, Light::Red);
    };
    files.answers.push_back(scripted::chosen({at("car.jpg")}));
    shell->command(kFiles);
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"reset pages", "clear", "set car.jpg", "open"}));
    EXPECT_TRUE(enabled_mid_load.empty());
    EXPECT_EQ(status_mid_load, "Loading image. Please wait...");
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - car.jpg [640x480]");
    EXPECT_EQ(control(platix::kTxtStatus).label, "Image loaded and displayed.");
    EXPECT_EQ(win.light, Light::Gray);
    EXPECT_EQ(cursor.kind, desk::CursorKind::Arrow);
    EXPECT_FALSE(shell->busy());
    EXPECT_TRUE(shell->image_loaded());
}

TEST_F(ShellLoads, NamesTheFileSizeOfAScaledPageAndThePageOfAMultiPageFile) {
    start();
    lib.loadable = {"big.tif"};
    lib.page_of_loaded.xscale = lib.page_of_loaded.yscale = -2;
    lib.page_of_loaded.n_pages = 3;
    lib.page_of_loaded.crt_page = 1;
    choose({at("big.tif")});
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - big.tif [p.#1/3 640x480 (scaled from 1280x960)]");
}

TEST_F(ShellLoads, AFileThatDoesNotOpenGivesTheErrorTitle) {
    start();
    choose({at("bad.png")});
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - bad.png (Error!)");
    EXPECT_EQ(control(platix::kTxtStatus).label, "Error: Couldn't load image.");
    EXPECT_TRUE(win.erased);
    EXPECT_EQ(win.lights, (std::vector<Light>{Light::Red, Light::Gray}));
    EXPECT_FALSE(shell->image_loaded());
}

TEST_F(ShellLoads, APageThatCannotBeShownGivesTheErrorTitle) {
    start();
    lib.loadable = {"car.jpg"};
    win.paint_ok = false;
    files.answers.push_back(scripted::chosen({at("car.jpg")}));
    shell->command(kFiles);
    EXPECT_EQ(win.title, "ORVO PLATIX 2.1 - car.jpg (Error!)");
    EXPECT_EQ(control(platix::kTxtStatus).label, "Error: Couldn't show image.");
    EXPECT_TRUE(win.erased);
    EXPECT_TRUE(shell->image_loaded());  // the file was found
}
