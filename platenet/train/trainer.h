// Training a model: CTC loss, Adam, mini-batches drawn with a seeded
// generator, every crop jittered and disturbed afresh each epoch, a
// validation set that picks the epoch kept (early stopping).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crop/crop.h"
#include "model/model_file.h"

namespace platenet {

// One labelled plate: a gray patch of page around it, and its rectangle
// (right and bottom exclusive, in patch pixels) as the analysis or a label
// would give it; the crop is field_crop of the rectangle narrowed by
// keep_character_rows, jittered.
struct TrainSample {
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::string text;  // characters of the model's set only
};

// Copies the patch of `page` around the rectangle, reduced (by averaging)
// so that the rectangle is at most `max_height` pixels high. Returns false
// for an empty or outside rectangle.
bool make_sample(const GrayView& page, int left, int top, int right, int bottom, const std::string& text,
                 int max_height, TrainSample* out);

struct TrainConfig {
    int max_epochs = 30;
    int patience = 6;          // epochs without a better validation before stopping (second half only)
    int batch = 16;
    double learning_rate = 3e-3;
    std::uint64_t seed = 1;
    double max_seconds = 0;    // 0: no time limit; otherwise stop after the epoch that passes it
    bool augment = true;
    // With validation: once it has chosen the epoch, train again from the
    // starting parameters on the training and validation samples together
    // for that many epochs (same schedule), and keep those parameters. A
    // small set gains its validation fifth; skipped when the time limit
    // would not allow it.
    bool refit = false;
};

struct EpochReport {
    int epoch = 0;
    double loss = 0;
    double val_exact = -1;  // fraction read exactly, -1 without validation
    double val_chars = -1;  // fraction of characters right (aligned by edit distance)
    bool kept = false;      // this epoch's parameters are the best so far
    int refit_epochs = 0;   // in the refit: the epochs it runs (no validation then); 0 before it
};

// Trains `model` (its parameters as the starting point, or fresh ones when
// empty) on `train`; keeps the parameters of the epoch EpochChooser
// chooses from the validation rates, or of the last epoch without
// validation, or with `refit` those of the refit. Samples with characters outside the charset or with
// more characters than half the frames are skipped. `progress` is called
// after every epoch. Same seed, same samples, one thread: same parameters.
Status train_model(ModelFile& model, const std::vector<TrainSample>& train, const std::vector<TrainSample>& val,
                   const TrainConfig& config, const std::function<void(const EpochReport&)>& progress);

// Exact and character rates of `model` on `samples` (unjittered crops).
struct Score {
    double exact = 0, chars = 0;
    int count = 0;
};
Score evaluate(const ModelFile& model, const std::vector<TrainSample>& samples);

// Validation rates are averaged over this many epochs (the epoch and those
// before it) before they choose the epoch kept. With a few dozen
// validation plates one plate is several points: a single lucky early
// epoch would otherwise be chosen, and training again on all images for
// the chosen number of epochs would stop half trained.
constexpr int kValidationWindow = 3;

// Chooses the epoch whose parameters a training keeps: the best exact rate,
// then character rate, then the lowest training loss, each rate the mean
// over the epoch and up to kValidationWindow - 1 epochs before it.
class EpochChooser {
public:
    // The next epoch's validation rates and loss; true when it is the best so far.
    bool add(double exact, double chars, double loss);

private:
    std::vector<Score> recent_;
    double exact_ = -1, chars_ = -1, loss_ = 1e30;
};

// Characters of `truth` matched by `read`: truth length minus the edit
// distance, at least 0.
int matched_chars(const std::string& truth, const std::string& read);

}  // namespace platenet
