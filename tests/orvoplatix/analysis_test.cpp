// Analysing an image: the call sequence, the recognition of every field,
// the display text with its character rectangles and its limit, the output
// text, the lights and the binarised-field window.
#include <regex>

#include "shell_fakes.h"

using desk::Light;
using fakes::Field;

namespace {
std::string two(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", v % 100);
    return b;
}
}  // namespace

class ShellAnalyses : public fakes::ShellTest {
protected:
    // A plain field and a field whose bitmap is the doubled copy.
    Field plain{100, 200, 199, 229};
    Field doubled{300, 50, 349, 69, 100, 40};

    void load_one(bool with_kb = true) {
        if (with_kb) kb_in_settings();
        start();
        lib.loadable = {"car.jpg"};
        files.answers.push_back(scripted::chosen({at("car.jpg")}));
        shell->command(platix::kFiles);  // posts Analyse
        lib.calls.clear();
        win.lights.clear();
    }
};

TEST_F(ShellAnalyses, ReadsEveryFieldAndJoinsTheTexts) {
    load_one();
    lib.found = {&plain.r, &doubled.r};
    lib.readings = {{"B 123", {{2, 3, 10, 25}, {12, 3, 20, 25}, {22, 3, 30, 25}, {32, 3, 40, 25}}},
                    {"ABC", {{4, 6, 20, 34}, {24, 6, 40, 34}, {44, 6, 60, 34}}}};
    pump();
    EXPECT_STREQ(shell->display().text, "B.123.ABC");
    EXPECT_EQ(lib.calls, (std::vector<std::string>{"clear", "analyze", "recognize", "recognize"}));
    EXPECT_STREQ(plain.r.text, "B 123");
    EXPECT_STREQ(doubled.r.text, "ABC");
    const auto& R = shell->display().rects;
    EXPECT_EQ(std::vector<int>(R[0], R[0] + 4), (std::vector<int>{101, 202, 111, 226}));  // B
    EXPECT_EQ(std::vector<int>(R[4], R[4] + 4), (std::vector<int>{131, 202, 141, 226}));  // 3
    EXPECT_EQ(std::vector<int>(R[6], R[6] + 4), (std::vector<int>{301, 52, 311, 68}));    // A, halved
    EXPECT_EQ(std::vector<int>(R[8], R[8] + 4), (std::vector<int>{321, 52, 331, 68}));    // C
}

TEST_F(ShellAnalyses, HandsEachFieldBitmapToTheEngine) {
    load_one();
    lib.found = {&plain.r, &doubled.r};
    lib.readings = {{"7", {{0, 0, 5, 5}}}, {"8", {{0, 0, 5, 5}}}};
    pump();
    ASSERT_EQ(lib.recognised_with.size(), 2u);
    const auto& s = lib.recognised_with[1];
    EXPECT_EQ(s.bits, doubled.r.bitmap);
    EXPECT_EQ(s.columns, 100);
    EXPECT_EQ(s.rows, 40);
    EXPECT_EQ(s.bpl, 13);
    EXPECT_EQ(std::vector<int>({s.left, s.top, s.right, s.bottom}), (std::vector<int>{0, 0, 100, 40}));
    EXPECT_EQ(s.kb_mode, 0u);
    EXPECT_EQ(s.templ, "C");
    EXPECT_EQ(lib.depths, std::vector<int>{3});
}

TEST_F(ShellAnalyses, KeepsUnreadMarksAndLetsDotsTakeABox) {
    load_one();
    lib.found = {&plain.r};
    lib.readings = {{"^^1.2", {{0, 0, 4, 9}, {5, 0, 9, 9}, {10, 0, 14, 9}, {15, 0, 16, 9}, {20, 0, 24, 9}}}};
    pump();
    EXPECT_STREQ(shell->display().text, "^^12");
    EXPECT_EQ(shell->display().rects[3][0], 20 + 100 - 1);  // the box after the dot's
}

TEST_F(ShellAnalyses, KeepsRectanglesOnThePage) {
    load_one();
    Field edge{600, 460, 639, 479};
    lib.found = {&edge.r};
    lib.readings = {{"X", {{0, 0, 60, 40}}}};
    pump();
    EXPECT_EQ(std::vector<int>(shell->display().rects[0], shell->display().rects[0] + 4),
              (std::vector<int>{599, 459, 639, 479}));
}

TEST_F(ShellAnalyses, CutsTheTextAt127CharactersAndStopsReading) {
    load_one();
    Field second{0, 0, 9, 9};
    lib.found = {&plain.r, &second.r};
    fakes::FieldReading long_text;
    for (int i = 0; i < 200; ++i) {
        long_text.text += static_cast<char>('0' + i % 10);
        long_text.boxes.push_back({i, 0, i + 1, 5});
    }
    lib.readings = {long_text, {"Z", {{0, 0, 1, 1}}}};
    pump();
    EXPECT_EQ(std::strlen(shell->display().text), 127u);
    EXPECT_EQ(std::string(shell->display().text), long_text.text.substr(0, 127));
    EXPECT_EQ(std::count(lib.calls.begin(), lib.calls.end(), "recognize"), 1);
}

TEST_F(ShellAnalyses, ShowsTheTextWithTimeAndDateAndTheGreenLight) {
    load_one();
    lib.found = {&plain.r};
    lib.readings = {{"AB 12", {{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}, {6, 0, 7, 1}}}};
    pump();
    osys_time now{};
    osys_local_time(&now);
    const std::regex form(R"( AB\.12   -   at  \d\d:\d\d:\d\d,  on  (\d\d/\d\d/\d\d))");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(win.output, m, form)) << win.output;
    EXPECT_EQ(m[1].str(), two(now.month) + "/" + two(now.day) + "/" + two(now.year));
    EXPECT_TRUE(std::regex_match(control(platix::kTxtStatus).label, std::regex(R"(Analysis duration: \d+ ms)")));
    EXPECT_EQ(win.lights, (std::vector<Light>{Light::Yellow, Light::Green}));
    EXPECT_FALSE(shell->busy());
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
}

TEST_F(ShellAnalyses, SaysWhetherNothingWasFoundOrNoBaseIsLoaded) {
    load_one(true);
    lib.found = {&plain.r};
    pump();  // the engine reads nothing
    EXPECT_EQ(win.output, " None found...");
}

TEST_F(ShellAnalyses, WithoutAKnowledgeBaseNothingIsRecognised) {
    load_one(false);
    lib.found = {&plain.r};
    lib.readings = {{"A", {{0, 0, 1, 1}}}};
    pump();
    EXPECT_EQ(std::count(lib.calls.begin(), lib.calls.end(), "recognize"), 0);
    EXPECT_EQ(win.output, " None (no knowledge base loaded!)...");
    EXPECT_EQ(shell->result_count(), 1);
}

TEST_F(ShellAnalyses, OpensTheFieldWindowOnTheLastField) {
    load_one();
    lib.found = {&plain.r, &doubled.r};
    pump();
    EXPECT_TRUE(win.field_open);
    EXPECT_EQ(shell->current_result(), &doubled.r);
}

TEST_F(ShellAnalyses, DrawsCharacterFramesInsteadWhenTheBitmapIsOff) {
    load_one();
    shell->bar().press(platix::kChkBitmap);
    lib.found = {&plain.r, &doubled.r};
    pump();
    EXPECT_FALSE(win.field_open);
    EXPECT_EQ(shell->current_result(), nullptr);
    EXPECT_GE(win.frames_drawn, 1);
}

TEST_F(ShellAnalyses, ReportsAnAnalysisOutOfMemory) {
    load_one();
    lib.analyze_result = 0;
    pump();
    EXPECT_EQ(control(platix::kTxtStatus).label, "Analysis interrupted (memory!)");
    ASSERT_EQ(presenter.boxes.size(), 1u);
    EXPECT_EQ(presenter.boxes[0].text, "Memory allocation error (image segmentation).");
    EXPECT_EQ(presenter.boxes[0].title, "Error");
    EXPECT_TRUE(queue.posted.empty());  // no Display
    EXPECT_FALSE(shell->busy());
    EXPECT_EQ(enabled(), (std::vector<int>{0, 1, 2, 3, 10}));
}

TEST_F(ShellAnalyses, UsesTheDepthOfTheSettings) {
    fakes::write_file(ini(), "[last_used]\r\nanalysis_depth=4\r\n");
    start();
    lib.loadable = {"car.jpg"};
    choose({at("car.jpg")});
    EXPECT_EQ(lib.depths, std::vector<int>{4});
}
