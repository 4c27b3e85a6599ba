// Training on one labelled image with the real engine: drawn fields taught into a fresh knowledge base, then read back.
#include <gtest/gtest.h>

#include "engine_session.h"
#include "field_page.h"
#include "field_reading.h"
#include "temp_dir.h"
#include "train_step.h"

using namespace platix;

namespace {

using platix_test::drawn_field;
using platix_test::label;
using platix_test::page_with;

class TrainStepTeaches : public ::testing::Test {
protected:
    void SetUp() override {
        session_ = std::make_unique<EngineSession>(std::vector<KbArg>{{dir_.file("t.kbf"), 0}});
        ASSERT_NE(session_->io(), nullptr);
    }
    testsupport::TempDir dir_;
    std::unique_ptr<EngineSession> session_;
};

}  // namespace

TEST_F(TrainStepTeaches, NothingWhenCountsDifferOrNoFieldIsInTheBox) {
    ImageResult page = page_with({drawn_field("HK47", 100, 200)});
    const auto wrong = train_image(session_->io(), page, label("HK4", 90, 190, 200, 60));
    EXPECT_TRUE(wrong.kind == TrainImageOutcome::count_mismatch && wrong.taught == 0);
    EXPECT_EQ(train_image(session_->io(), page, label("HK47", 400, 400, 50, 50)).kind, TrainImageOutcome::no_field);
    FieldResult& f = page.fields[0];
    read_field(session_->io(), f.bitmap.data(), f.columns, f.lines, f.bpl, RecognitionSettings{}, f, page);
    EXPECT_TRUE(f.text == "^^^^" && f.chars[0].raw.empty()) << f.text;  // nothing was learned
}

TEST_F(TrainStepTeaches, TwoRowsInReadingOrder) {
    ImageResult page = page_with({drawn_field("47", 100, 240), drawn_field("HK", 100, 200)});  // the lower row listed first
    const auto l = label("HK47", 90, 190, 200, 100);
    EXPECT_EQ(fields_in_box(page, l), (std::vector<std::size_t>{1, 0}));
    EXPECT_TRUE(train_image(session_->io(), page, l).taught == 4 && train_image(session_->io(), page, l).right == 4);
    EXPECT_TRUE(page.fields[1].text == "HK" && page.fields[0].text == "47");
}

TEST(RawClasses, SlotsWithoutBlanksAndPadding) {
    EXPECT_EQ(raw_classes("A_b_ _^_oe"), (std::vector<std::string>{"A", "b", "", "oe"}));
    EXPECT_TRUE(raw_classes("").empty());
}
