// A tiny training: drawn plates teach a small network to read fresh ones, and the same seed trains
// the same model file.
#include <gtest/gtest.h>

#include <random>

#include "model/model_file.h"
#include "plate_drawing.h"
#include "platenet.h"
#include "train/trainer.h"

using namespace platenet;

namespace {

const std::string kChars = "0123456789ABCO";

// Rows of four to six characters: three drawn ones are narrower than a row
// of characters can be, and would be read as a whole plate's middle rows.
std::vector<TrainSample> drawn_samples(int count, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(kChars.size()) - 1), len(4, 6), scale(2, 4), pos(4, 20);
    std::vector<TrainSample> out;
    while (static_cast<int>(out.size()) < count) {
        std::string text;
        const int n = len(rng);
        for (int i = 0; i < n; ++i) text += kChars[static_cast<std::size_t>(pick(rng))];
        int box[4];
        const int s = scale(rng);
        const auto page = pntest::draw_plate(text, s, pos(rng), pos(rng), 6 * s * n + 50, 7 * s + 45,
                                             static_cast<unsigned>(rng()), box);
        TrainSample t;
        if (make_sample({page.pixels.data(), page.width, page.height, page.width}, box[0], box[1], box[2], box[3], text, 24, &t))
            out.push_back(std::move(t));
    }
    return out;
}

ModelFile tiny_model() {
    ModelFile m;
    m.arch.widths = {8, 16, 16, 16, 24, 32}, m.arch.charset = kChars;
    m.arch.input_width = 128;  // short texts: 32 frames are plenty
    return m;
}

}  // namespace

TEST(Training, TinyTrainingReadsFreshPlates) {
    const auto train = drawn_samples(400, 1), val = drawn_samples(40, 2), fresh = drawn_samples(60, 3);
    ModelFile m = tiny_model();
    TrainConfig c;
    c.max_epochs = 10, c.patience = 10, c.batch = 8, c.learning_rate = 1e-3, c.seed = 5;
    int epochs = 0;
    ASSERT_EQ(train_model(m, train, val, c, [&](const EpochReport&) { ++epochs; }), Status::ok);
    EXPECT_EQ(epochs, 10);
    const Score s = evaluate(m, fresh);
    EXPECT_TRUE(s.count == 60 && s.exact >= 0.8 && s.chars >= 0.9) << s.count << " " << s.exact << " " << s.chars;
}

TEST(Training, SameSeedSameModelFile) {
    const auto train = drawn_samples(64, 4);
    TrainConfig c;
    c.max_epochs = 2, c.seed = 9;
    ModelFile a = tiny_model(), b = tiny_model(), d = tiny_model();
    ASSERT_EQ(train_model(a, train, {}, c, nullptr), Status::ok);
    ASSERT_EQ(train_model(b, train, {}, c, nullptr), Status::ok);
    c.seed = 10;
    ASSERT_EQ(train_model(d, train, {}, c, nullptr), Status::ok);
    EXPECT_EQ(encode_model(a), encode_model(b));
    EXPECT_NE(encode_model(a), encode_model(d));
}

TEST(Training, RefitTrainsAgainOnValidationForTheChosenEpochsTimeAllowing) {
    const auto train = drawn_samples(48, 4), val = drawn_samples(16, 6);
    TrainConfig c;
    c.max_epochs = 3, c.patience = 10, c.seed = 9;
    ModelFile plain = tiny_model();
    ASSERT_EQ(train_model(plain, train, val, c, nullptr), Status::ok);
    c.refit = true;
    ModelFile a = tiny_model(), b = tiny_model();
    int first = 0, chosen = 0;
    std::vector<int> refit;
    ASSERT_EQ(train_model(a, train, val, c,
                          [&](const EpochReport& r) {
                              if (r.refit_epochs > 0) {
                                  EXPECT_EQ(r.refit_epochs, chosen);
                                  refit.push_back(r.epoch);
                              } else {
                                  ++first;
                                  if (r.kept) chosen = r.epoch;
                              }
                          }),
              Status::ok);
    EXPECT_EQ(first, 3);
    ASSERT_GT(chosen, 0);
    EXPECT_EQ(static_cast<int>(refit.size()), chosen);
    EXPECT_EQ(refit.back(), chosen);
    ASSERT_EQ(train_model(b, train, val, c, nullptr), Status::ok);
    EXPECT_EQ(encode_model(a), encode_model(b));
    EXPECT_NE(encode_model(a), encode_model(plain));
    // No time for it: the validated parameters are kept.
    c.max_seconds = 1e-9;
    ModelFile hurried = tiny_model(), hurried_plain = tiny_model();
    ASSERT_EQ(train_model(hurried, train, val, c, nullptr), Status::ok);
    c.refit = false;
    ASSERT_EQ(train_model(hurried_plain, train, val, c, nullptr), Status::ok);
    EXPECT_EQ(encode_model(hurried), encode_model(hurried_plain));
}

// The epoch kept: validation exact rates averaged over the epoch and the two before it, so that one lucky epoch
// early in a noisy curve does not win over the steady gains after it.
TEST(Training, EpochChooserAveragesTheLastThreeEpochs) {
    struct Case {
        std::vector<double> exact;
        int chosen;
    };
    for (const Case& c : {Case{{0.3, 0.5, 0.4, 0.4, 0.5, 0.5, 0.5}, 7},  // alone, epoch 2's 0.5 would be kept
                          Case{{0.5, 0.6, 0.7, 0.2, 0.2}, 3},            // a late collapse
                          Case{{0.6, 0.0, 0.0, 0.3}, 1}}) {              // the first epoch averages itself alone
        EpochChooser chooser;
        int chosen = 0;
        for (std::size_t i = 0; i < c.exact.size(); ++i)
            if (chooser.add(c.exact[i], 0.9, 1.0 / static_cast<double>(i + 1))) chosen = static_cast<int>(i + 1);
        EXPECT_EQ(chosen, c.chosen) << c.exact.size();
    }
}
