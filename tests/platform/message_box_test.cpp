// Boxes go to the installed presenter; with none a box goes to stderr and its first button answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orvosys.h"

namespace {

struct Recorder {
    std::vector<std::string> shown;  // "title|text|style"
    static int record(void* ctx, const char* title, const char* text, unsigned style) {
        static_cast<Recorder*>(ctx)->shown.push_back(std::string(title) + "|" + text + "|" + std::to_string(style));
        return OSYS_IDNO;
    }
};

TEST(MessageBox, GoesToTheInstalledPresenterUntilRestored) {
    Recorder r;
    void* old_ctx = &r;
    EXPECT_NE(osys_set_message_presenter(Recorder::record, &r, &old_ctx), nullptr);
    EXPECT_EQ(old_ctx, nullptr);
    EXPECT_EQ(osys_message_box("No knowledge base", "OCR_init: Warning", OSYS_MB_ICONWARNING), OSYS_IDNO);
    EXPECT_EQ(r.shown,
              std::vector<std::string>{"OCR_init: Warning|No knowledge base|" + std::to_string(OSYS_MB_ICONWARNING)});
    void* ctx = nullptr;
    EXPECT_EQ(osys_set_message_presenter(nullptr, nullptr, &ctx), &Recorder::record);
    EXPECT_EQ(ctx, &r);
    testing::internal::CaptureStderr();
    EXPECT_EQ(osys_message_box("text", "Title", OSYS_MB_YESNO), OSYS_IDYES);
    EXPECT_EQ(osys_message_box("t2", "T2", OSYS_MB_OKCANCEL | OSYS_MB_ICONERROR), OSYS_IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Title: text\nT2: t2\n");
    EXPECT_EQ(r.shown.size(), 1u);
}

}  // namespace
