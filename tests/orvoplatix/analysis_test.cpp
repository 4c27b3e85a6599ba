// Analysing an image: every field recognised, the display text with its rectangles and limit, why nothing shows.
#include "shell_fakes.h"

using fakes::Field;

class ShellAnalyses : public fakes::ShellTest {
protected:
    Field plain{100, 200, 199, 229};
    void load_one() {
        kb_in_settings();
        start();
        lib.loadable = {"car.jpg"};
        files.answers.push_back(scripted::chosen({at("car.jpg")}));
        shell->command(platix::kFiles);  // posts Analyse
        lib.calls.clear();
    }
    std::vector<int> rect(int i) const { return {shell->display().rects[i], shell->display().rects[i] + 4}; }
};

// Rectangles map onto the page (halved for a doubled bitmap) and stay on it; marks stay; a dot has a box.
TEST_F(ShellAnalyses, ReadsEveryFieldBitmapAndJoinsTheTexts) {
    load_one();
    Field doubled{300, 50, 349, 69, 100, 40}, edge{600, 460, 639, 479};
    lib.found = {&plain.r, &doubled.r, &edge.r};
    lib.readings = {{"^^1.2", {{2, 3, 10, 25}, {12, 3, 20, 25}, {22, 3, 30, 25}, {32, 3, 33, 25}, {42, 3, 50, 25}}},
                    {"ABC", {{4, 6, 20, 34}, {24, 6, 40, 34}, {44, 6, 60, 34}}},
                    {"X", {{0, 0, 60, 40}}}};
    pump();
    EXPECT_STREQ(shell->display().text, "^^12.ABC.X");
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"clear", "analyze", "recognize", "recognize", "recognize"}));
    EXPECT_EQ(lib.depths, std::vector<int>{3});
    EXPECT_STREQ(doubled.r.text, "ABC");  // each record keeps its text
    EXPECT_EQ(rect(0), (std::vector<int>{101, 202, 111, 226}));
    EXPECT_EQ(rect(3)[0], 42 + 100 - 1);  // the box after the dot's
    EXPECT_EQ(rect(5), (std::vector<int>{301, 52, 311, 68}));
    EXPECT_EQ(rect(9), (std::vector<int>{599, 459, 639, 479}));
    ASSERT_EQ(lib.recognised_with.size(), 3u);
    const ocr_io& s = lib.recognised_with[1];
    EXPECT_EQ(s.image_bits, doubled.r.bitmap);
    EXPECT_EQ(std::vector<int>({s.columns, s.rows, s.bytes_per_row, s.left, s.top, s.right, s.bottom, s.kb_mode}),
              (std::vector<int>{100, 40, 13, 0, 0, 100, 40, 0}));
    EXPECT_STREQ(s.template_, "C");
    EXPECT_TRUE(win.field_open);  // the last field's window
    EXPECT_EQ(shell->current_result(), &edge.r);
}

TEST_F(ShellAnalyses, CutsTheTextAt127CharactersAndStopsReading) {
    load_one();
    Field second{0, 0, 9, 9};
    lib.found = {&plain.r, &second.r};
    fakes::FieldReading long_text;
    for (int i = 0; i < 200; ++i) long_text.text += static_cast<char>('0' + i % 10), long_text.boxes.push_back({i, 0, i + 1, 5});
    lib.readings = {long_text, {"Z", {{0, 0, 1, 1}}}};
    pump();
    EXPECT_EQ(std::string(shell->display().text), long_text.text.substr(0, 127));
    EXPECT_EQ(std::count(lib.calls.begin(), lib.calls.end(), "recognize"), 1);
}

// Nothing read; then out of memory, with no display (no base: the reload and refusal tests).
TEST_F(ShellAnalyses, SaysWhyNothingIsShown) {
    load_one();
    lib.found = {&plain.r};
    pump();
    EXPECT_EQ(win.output, " None found...");
    lib.analyze_result = 0;
    shell->command(platix::kAnalyse);
    EXPECT_EQ(label(platix::kTxtStatus), "Analysis interrupted (memory!)");
    EXPECT_EQ(box_titles(), std::vector<std::string>{"Error: Memory allocation error (image segmentation)."});
    EXPECT_TRUE(queue.posted.empty());  // no display
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
}
