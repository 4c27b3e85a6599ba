// Choosing images and loading them: the File(s) request and the title and status of each outcome of a load.
#include "shell_fakes.h"

class ShellChoosesImages : public fakes::ShellTest {};

// The request names the remembered folder and preselects its type's filter.
TEST_F(ShellChoosesImages, AsksWithTheRememberedFolderAndType) {
    fakes::write_file(ini(), "[last_used]\r\nimage_file=/pics/old.png\r\n");
    start();
    lib.loadable = {"one.jpg"};
    choose({at("one.jpg")});
    ASSERT_EQ(files.requests.size(), 1u);
    const desk::OpenFileRequest& rq = files.requests[0];
    EXPECT_EQ(rq.title + " " + rq.initial_folder + " " + rq.default_ext + " " + std::to_string(rq.filter_index),
              "Select image file(s) /pics png 2");
    EXPECT_TRUE(rq.multiple);
    EXPECT_EQ(lib.opened, std::vector<std::string>{"one.jpg"});
}

// A scaled page of several, one that does not open, one that opens but cannot be shown.
TEST_F(ShellChoosesImages, TitlesEachOutcomeOfALoad) {
    struct Case { const char* file; bool opens, paints; int scale, pages;
                  const char *title, *status; } cases[] = {
        {"big.tif", true, true, -2, 3, "big.tif [p.#1/3 640x480 (scaled from 1280x960)]", "Image loaded and displayed."},
        {"bad.png", false, true, 0, 0, "bad.png (Error!)", "Error: Couldn't load image."},
        {"car.jpg", true, false, 0, 0, "car.jpg (Error!)", "Error: Couldn't show image."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        start();
        lib.loadable = {c.opens ? c.file : ""};
        lib.page_of_loaded.xscale = lib.page_of_loaded.yscale = c.scale;
        lib.page_of_loaded.n_pages = c.pages, lib.page_of_loaded.crt_page = c.pages ? 1 : 0;
        win.paint_ok = c.paints, win.erased = false;
        files.answers.push_back(scripted::chosen({at(c.file)}));
        shell->command(platix::kFiles);
        EXPECT_EQ(win.title, std::string("ORVO PLATIX 2.1 - ") + c.title);
        EXPECT_EQ(label(platix::kTxtStatus), c.status);
        EXPECT_EQ(shell->image_loaded(), c.opens);
        EXPECT_EQ(win.erased, !c.paints || !c.opens);
    }
}
