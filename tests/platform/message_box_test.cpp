// Message boxes and beeps go through the installed presenter and beeper,
// and the default presenter answers with the first button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvosys.h"

namespace {

struct Shown {
    std::string title, text;
    unsigned style;
};

struct Recorder {
    std::vector<Shown> shown;
    int beeps = 0;
    int answer = OSYS_IDNO;
};

int record(void* ctx, const char* title, const char* text, unsigned style) {
    auto* r = static_cast<Recorder*>(ctx);
    r->shown.push_back({title, text, style});
    return r->answer;
}

void count_beep(void* ctx) { ++static_cast<Recorder*>(ctx)->beeps; }

TEST(MessageBox, GoesToTheInstalledPresenterUntilRestored) {
    Recorder r;
    void* old_ctx = &r;
    osys_presenter old = osys_set_message_presenter(record, &r, &old_ctx);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(old_ctx, nullptr);
    EXPECT_EQ(osys_message_box("No knowledge base", "OCR_init: Warning", OSYS_MB_ICONWARNING),
              OSYS_IDNO);
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_EQ(r.shown[0].title, "OCR_init: Warning");
    EXPECT_EQ(r.shown[0].text, "No knowledge base");
    EXPECT_EQ(r.shown[0].style, static_cast<unsigned>(OSYS_MB_ICONWARNING));

    void* ctx = nullptr;
    EXPECT_EQ(osys_set_message_presenter(nullptr, nullptr, &ctx), record);
    EXPECT_EQ(ctx, &r);
    testing::internal::CaptureStderr();
    EXPECT_EQ(osys_message_box("text", "Title", OSYS_MB_YESNO), OSYS_IDYES);
    EXPECT_EQ(osys_message_box("t2", "T2", OSYS_MB_OKCANCEL | OSYS_MB_ICONERROR), OSYS_IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Title: text\nT2: t2\n");
    EXPECT_EQ(r.shown.size(), 1u);
}

TEST(Beep, GoesToTheInstalledBeeperAndIsSilentByDefault) {
    Recorder r;
    osys_beep();  // default: nothing happens, nothing crashes
    osys_set_beeper(count_beep, &r);
    osys_beep();
    osys_beep();
    osys_set_beeper(nullptr, nullptr);
    osys_beep();
    EXPECT_EQ(r.beeps, 2);
}

}  // namespace
