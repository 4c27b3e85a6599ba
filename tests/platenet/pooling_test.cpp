// Pooling the readings of nudged crops of one unsure plate.
#include <gtest/gtest.h>

#include "reader.h"

using namespace platenet;

namespace {

Candidate cand(const std::string& text, double p, bool fits = true) {
    return {text, p, std::vector<float>(text.size(), static_cast<float>(p)), fits};
}

}  // namespace

TEST(Pooling, MeanOverReadingsFitsFirstAndConfidencesOfTheSurestReading) {
    // X leads one reading, Y is listed by all three: Y's mean wins.
    auto pooled = pool_readings({{cand("X", 0.5), cand("Y", 0.4)}, {cand("Y", 0.6)}, {cand("Y", 0.5), cand("X", 0.2)}}, 5);
    ASSERT_EQ(pooled.size(), 2u);
    EXPECT_EQ(pooled[0].text, "Y");
    EXPECT_NEAR(pooled[0].probability, 0.5, 1e-9);
    EXPECT_FLOAT_EQ(pooled[0].char_confidence[0], 0.6f);
    EXPECT_NEAR(pooled[1].probability, 0.7 / 3, 1e-9);

    // A text that fits a syntax in any reading ranks before a surer one that fits none; topn cuts.
    pooled = pool_readings({{cand("AB1", 0.9, false), cand("AB7", 0.1, false)}, {cand("AB7", 0.2, true)}}, 1);
    ASSERT_EQ(pooled.size(), 1u);
    EXPECT_EQ(pooled[0].text, "AB7");
    EXPECT_TRUE(pooled[0].fits_syntax);
    EXPECT_TRUE(pool_readings({}, 3).empty());
}
