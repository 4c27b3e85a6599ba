#include "net_training.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "coords.h"
#include "default_data.h"
#include "model/model_file.h"
#include "rasterkit.h"
#include "synth/plate_crops.h"
#include "train/trainer.h"

namespace platix {

namespace {

// Truth boxes of at most this many pixels high are kept at full size;
// larger ones are reduced, which bounds the memory of a training. A
// plate-shaped box keeps twice that: the network reads its middle rows.
constexpr int kSampleHeight = 40;

int sample_height(int width, int height) {
    return platenet::plate_shaped(width, height) ? 2 * kSampleHeight : kSampleHeight;
}

// A file coordinate on the page: times k after an enlargement, divided
// after a reduction.
int file_to_page(int v, int scale) {
    if (scale > 1) return v * scale;
    if (scale < -1) return v / -scale;
    return v;
}

// The plate text as the model writes it: upper case, letters and digits.
std::string model_text(const std::string& plate) {
    std::string out;
    for (char c : normalise_plate(plate))
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) out += c;
    return out;
}

// Crops of one labelled image: its truth box, and with `fields` the rows
// the analysis finds in it that span most of its width.
bool image_samples(const LabelledImage& l, bool fields, const NetTrainSettings& s,
                   std::vector<platenet::TrainSample>& out) {
    SEG_clear_analysis_results();
    if (SEG_set_image_file(l.image_path.c_str()) == 0 || SEG_open_image() == 0 || videobuffer == nullptr) {
        SEG_close_image();
        return false;
    }
    const std::string text = model_text(l.plate);
    const platenet::GrayView page{videobuffer, MAXCOL, MAXLIN, BPL};
    const int left = file_to_page(l.x, XSCALE), top = file_to_page(l.y, YSCALE);
    const int right = file_to_page(l.x + l.w, XSCALE), bottom = file_to_page(l.y + l.h, YSCALE);
    platenet::TrainSample t;
    const bool truth = !text.empty() && platenet::make_sample(page, left, top, right, bottom, text,
                                                                    sample_height(right - left, bottom - top), &t);
    if (truth) out.push_back(std::move(t));
    if (fields && !text.empty()) {
        SEG_set_analysis_mode(analysis_mode_of(s.analysis));
        SEG_analyze_image(s.depth);
        for (seg_result* r = results; r != nullptr; r = r->next) {
            const int cx = (r->left + r->right) / 2, cy = (r->top + r->bottom) / 2;
            const bool inside = cx >= left && cx < right && cy >= top && cy < bottom;
            if (!inside || (r->right - r->left + 1) * 5 < (right - left) * 3) continue;
            platenet::TrainSample f;
            if (platenet::make_sample(page, r->left, r->top, r->right + 1, r->bottom + 1, text,
                                      sample_height(r->right + 1 - r->left, r->bottom + 1 - r->top), &f))
                out.push_back(std::move(f));
        }
    }
    SEG_clear_analysis_results();
    SEG_close_image();
    return truth;
}

}  // namespace

std::string start_model_path(const std::string& start) {
    if (start == "scratch") return {};
    return start.empty() ? bundled_model_path() : start;
}

NetSamples collect_net_samples(const std::vector<LabelledImage>& real, const NetTrainSettings& s) {
    NetSamples out;
    out.real.resize(real.size());
    out.truth_first.resize(real.size());
    for (std::size_t i = 0; i < real.size(); ++i) out.truth_first[i] = image_samples(real[i], true, s, out.real[i]);
    for (std::size_t i = 0; i < s.synthetic_scenes.size(); ++i)
        image_samples(s.synthetic_scenes[i], true, s, i % 10 == 9 ? out.synthetic_val : out.synthetic);
    if (s.synth > 0) {
        const auto crops = synth::make_plate_crops(s.synth, s.synth_styles, s.synth_seed);
        for (std::size_t i = 0; i < crops.size(); ++i) {
            const auto& c = crops[i];
            const platenet::GrayView patch{c.gray.data(), c.width, c.height, c.width};
            // The plate's box as a label gives it, and its row of characters
            // as the analysis finds it.
            auto& to = i % 10 == 9 ? out.synthetic_val : out.synthetic;
            platenet::TrainSample t;
            if (platenet::make_sample(patch, c.left, c.top, c.right, c.bottom, c.text,
                                      sample_height(c.right - c.left, c.bottom - c.top), &t))
                to.push_back(std::move(t));
            if (platenet::make_sample(patch, c.text_left, c.text_top, c.text_right, c.text_bottom, c.text,
                                      kSampleHeight, &t))
                to.push_back(std::move(t));
        }
    }
    return out;
}

int train_net(const std::vector<LabelledImage>& real, const NetTrainSettings& s) {
    const NetSamples samples = collect_net_samples(real, s);
    std::vector<std::size_t> all(real.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return train_net_on(samples, all, s);
}

int train_net_on(const NetSamples& samples, const std::vector<std::size_t>& use, const NetTrainSettings& s) {
    platenet::ModelFile model;
    if (!s.start_path.empty()) {
        const auto st = platenet::load_model_file(s.start_path, &model);
        if (st != platenet::Status::ok) {
            std::fprintf(stderr, "platix: %s: %s\n", s.start_path.c_str(), platenet::status_text(st));
            return 1;
        }
    }
    const auto started = s.started;
    std::vector<platenet::TrainSample> train = samples.synthetic, val;
    for (std::size_t k = 0; k < use.size(); ++k) {
        auto& to = k % 5 == 4 ? val : train;
        const auto& crops = samples.real[use[k]];
        to.insert(to.end(), crops.begin(), crops.end());
    }
    if (use.empty()) val = samples.synthetic_val;
    else train.insert(train.end(), samples.synthetic_val.begin(), samples.synthetic_val.end());
    if (!s.quiet)
        std::fprintf(stderr, "platix: %zu training crops, %zu validation crops (%.0f s)\n", train.size(), val.size(),
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (train.empty()) {
        std::fprintf(stderr, "platix: no usable labelled plate for the learned reader\n");
        return 1;
    }
    platenet::TrainConfig c;
    c.max_epochs = s.epochs;
    c.seed = s.seed;
    const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    c.max_seconds = std::max(1.0, 60.0 * s.minutes - spent);
    if (!s.start_path.empty()) c.learning_rate = 1e-3;  // fine-tuning: a third of the rate from scratch
    // With the user's images, the validation fifth joins the training once
    // it has chosen the epochs: a small set gains a quarter more plates.
    c.refit = !use.empty();
    const auto st = platenet::train_model(model, train, val, c, [&](const platenet::EpochReport& r) {
        if (!s.report) return;
        if (r.refit_epochs > 0) {
            std::printf("again on all images, epoch %d of %d: loss %.3f (%.0f s)\n", r.epoch, r.refit_epochs, r.loss,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            std::fflush(stdout);
            return;
        }
        std::printf("epoch %d: loss %.3f", r.epoch, r.loss);
        if (r.val_exact >= 0) std::printf(", validation %.1f%% exact, %.1f%% characters", 100 * r.val_exact, 100 * r.val_chars);
        std::printf("%s (%.0f s)\n", r.kept ? " *" : "",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        std::fflush(stdout);
    });
    if (st != platenet::Status::ok) {
        std::fprintf(stderr, "platix: the learned reader could not be trained: %s\n", platenet::status_text(st));
        return 1;
    }
    if (!platenet::save_model_file(s.model_path, model)) {
        std::fprintf(stderr, "platix: %s: cannot write the model\n", s.model_path.c_str());
        return 1;
    }
    if (s.report) std::printf("model written: %s\n", s.model_path.c_str());
    return 0;
}

}  // namespace platix
