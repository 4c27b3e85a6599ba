#include "train/trainer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>
#include <random>

#include "decode/ctc_decode.h"
#include "model/network_torch.h"

namespace platenet {

namespace {

RectF widen(float l, float t, float r, float b) {
    const float h = b - t;
    return {l - 0.5f * h, t - 0.25f * h, r + 0.5f * h, b + 0.25f * h};
}

GrayView view_of(const TrainSample& s) { return {s.pixels.data(), s.width, s.height, s.width}; }

// The input of one sample, jittered and disturbed when `rng` is given.
void sample_input(const TrainSample& s, const Architecture& a, std::mt19937_64* rng, float* out) {
    const int H = a.input_height, W = a.input_width;
    int rows_top = s.top, rows_bottom = s.bottom;
    keep_character_rows(s.left, s.right, &rows_top, &rows_bottom);
    float l = static_cast<float>(s.left), t = static_cast<float>(rows_top);
    float r = static_cast<float>(s.right), b = static_cast<float>(rows_bottom);
    if (rng == nullptr) {
        crop_input(view_of(s), widen(l, t, r, b), H, W, out);
        return;
    }
    std::uniform_real_distribution<float> u(-1.0f, 1.0f), p(0.0f, 1.0f);
    const float h = b - t;
    l += 0.2f * h * u(*rng);
    r += 0.2f * h * u(*rng);
    t += 0.12f * h * u(*rng);
    b += 0.12f * h * u(*rng);
    if (r - l < 2 || b - t < 2) {
        l = static_cast<float>(s.left), r = static_cast<float>(s.right);
        t = static_cast<float>(rows_top), b = static_cast<float>(rows_bottom);
    }
    const std::size_t n = static_cast<std::size_t>(H) * static_cast<std::size_t>(W);
    if (p(*rng) < 0.25f) {
        // Low resolution: read at half size, then doubled.
        std::vector<float> small(n / 4);
        crop_input(view_of(s), widen(l, t, r, b), H / 2, W / 2, small.data());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                out[static_cast<std::size_t>(y) * W + x] = small[static_cast<std::size_t>(y / 2) * (W / 2) + x / 2];
    } else {
        crop_input(view_of(s), widen(l, t, r, b), H, W, out);
    }
    if (p(*rng) < 0.3f) {
        // Blur along the rows and columns.
        std::vector<float> copy(out, out + n);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const auto at = [&](int xx, int yy) {
                    xx = std::clamp(xx, 0, W - 1);
                    yy = std::clamp(yy, 0, H - 1);
                    return copy[static_cast<std::size_t>(yy) * W + xx];
                };
                out[static_cast<std::size_t>(y) * W + x] =
                    0.4f * at(x, y) + 0.15f * (at(x - 1, y) + at(x + 1, y) + at(x, y - 1) + at(x, y + 1));
            }
    }
    std::normal_distribution<float> noise(0.0f, 1.0f);
    const float sigma = 0.25f * p(*rng);
    const float gain = 0.7f + 0.6f * p(*rng);
    for (std::size_t i = 0; i < n; ++i) out[i] = out[i] * gain + sigma * noise(*rng);
}

bool usable(const TrainSample& s, const Architecture& a) {
    if (s.text.empty() || s.pixels.empty() || s.right <= s.left || s.bottom <= s.top) return false;
    // CTC needs a frame per character and one between repeated characters.
    if (static_cast<int>(s.text.size()) * 2 > a.input_width / 4) return false;
    return s.text.find_first_not_of(a.charset) == std::string::npos;
}

std::vector<std::string> read_all(PlateNet& net, const Architecture& a, const std::vector<const TrainSample*>& v) {
    torch::NoGradGuard no_grad;
    net->eval();
    std::vector<std::string> out;
    const std::size_t each = static_cast<std::size_t>(a.input_height) * static_cast<std::size_t>(a.input_width);
    for (std::size_t start = 0; start < v.size(); start += 64) {
        const std::size_t n = std::min<std::size_t>(64, v.size() - start);
        std::vector<float> in(n * each);
        for (std::size_t i = 0; i < n; ++i) sample_input(*v[start + i], a, nullptr, in.data() + i * each);
        auto y = net->forward(torch::from_blob(in.data(), {static_cast<long>(n), 1, a.input_height, a.input_width}))
                     .contiguous();
        for (std::size_t i = 0; i < n; ++i) {
            FrameScores f;
            f.frames = static_cast<int>(y.size(1));
            f.classes = static_cast<int>(y.size(2));
            const float* p = y[static_cast<long>(i)].data_ptr<float>();
            f.log_probs.assign(p, p + f.frames * f.classes);
            out.push_back(greedy_text(f, a.charset));
        }
    }
    return out;
}

Score score_of(PlateNet& net, const Architecture& a, const std::vector<const TrainSample*>& v) {
    Score s;
    const auto texts = read_all(net, a, v);
    long chars = 0, matched = 0, exact = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
        chars += static_cast<long>(v[i]->text.size());
        matched += matched_chars(v[i]->text, texts[i]);
        exact += texts[i] == v[i]->text ? 1 : 0;
    }
    s.count = static_cast<int>(v.size());
    s.exact = v.empty() ? 0 : static_cast<double>(exact) / static_cast<double>(v.size());
    s.chars = chars == 0 ? 0 : static_cast<double>(matched) / static_cast<double>(chars);
    return s;
}

}  // namespace

bool EpochChooser::add(double exact, double chars, double loss) {
    recent_.push_back({exact, chars, 0});
    if (recent_.size() > static_cast<std::size_t>(kValidationWindow)) recent_.erase(recent_.begin());
    double e = 0, c = 0;
    for (const Score& r : recent_) {
        e += r.exact / static_cast<double>(recent_.size());
        c += r.chars / static_cast<double>(recent_.size());
    }
    if (e > exact_ || (e == exact_ && c > chars_) || (e == exact_ && c == chars_ && loss < loss_)) {
        exact_ = e;
        chars_ = c;
        loss_ = loss;
        return true;
    }
    return false;
}

int matched_chars(const std::string& truth, const std::string& read) {
    std::vector<int> prev(read.size() + 1), cur(read.size() + 1);
    std::iota(prev.begin(), prev.end(), 0);
    for (std::size_t i = 1; i <= truth.size(); ++i) {
        cur[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= read.size(); ++j)
            cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (truth[i - 1] == read[j - 1] ? 0 : 1)});
        prev.swap(cur);
    }
    return std::max(0, static_cast<int>(truth.size()) - prev[read.size()]);
}

bool make_sample(const GrayView& page, int left, int top, int right, int bottom, const std::string& text,
                 int max_height, TrainSample* out) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, page.width);
    bottom = std::min(bottom, page.height);
    if (page.pixels == nullptr || right <= left || bottom <= top || max_height < 1) return false;
    const int h = bottom - top;
    const int f = (h + max_height - 1) / max_height;
    // Room for the jitter and the reader's margin around the rectangle.
    const int x0 = std::max(0, left - h), x1 = std::min(page.width, right + h);
    const int y0 = std::max(0, top - (h * 3) / 4), y1 = std::min(page.height, bottom + (h * 3) / 4);
    out->width = (x1 - x0) / f;
    out->height = (y1 - y0) / f;
    if (out->width < 1 || out->height < 1) return false;
    out->pixels.assign(static_cast<std::size_t>(out->width) * static_cast<std::size_t>(out->height), 0);
    for (int y = 0; y < out->height; ++y)
        for (int x = 0; x < out->width; ++x) {
            int sum = 0;
            for (int dy = 0; dy < f; ++dy)
                for (int dx = 0; dx < f; ++dx)
                    sum += page.pixels[static_cast<std::size_t>(y0 + y * f + dy) * static_cast<std::size_t>(page.stride) +
                                       static_cast<std::size_t>(x0 + x * f + dx)];
            out->pixels[static_cast<std::size_t>(y) * out->width + x] = static_cast<std::uint8_t>(sum / (f * f));
        }
    out->left = (left - x0) / f;
    out->right = std::max(out->left + 1, (right - x0) / f);
    out->top = (top - y0) / f;
    out->bottom = std::max(out->top + 1, (bottom - y0) / f);
    out->text = text;
    return true;
}

Score evaluate(const ModelFile& model, const std::vector<TrainSample>& samples) {
    use_one_thread();
    PlateNet net(model.arch);
    if (!assign_parameters(net, model.parameters)) return {};
    std::vector<const TrainSample*> v;
    for (const auto& s : samples)
        if (usable(s, model.arch)) v.push_back(&s);
    return score_of(net, model.arch, v);
}

Status train_model(ModelFile& model, const std::vector<TrainSample>& train, const std::vector<TrainSample>& val,
                   const TrainConfig& config, const std::function<void(const EpochReport&)>& progress) {
    if (check_architecture(model.arch) != Status::ok) return Status::bad_header;
    try {
        use_one_thread();
        const auto started = std::chrono::steady_clock::now();
        const auto seconds = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        };
        torch::manual_seed(config.seed);
        const Architecture& a = model.arch;
        PlateNet net(a);
        if (!model.parameters.empty() && !assign_parameters(net, model.parameters)) return Status::bad_parameters;
        const std::vector<float> initial = flatten_parameters(net);
        std::vector<const TrainSample*> tr, va;
        for (const auto& s : train)
            if (usable(s, a)) tr.push_back(&s);
        for (const auto& s : val)
            if (usable(s, a)) va.push_back(&s);
        if (tr.empty()) return Status::bad_argument;

        std::mt19937_64 rng(config.seed);
        const std::size_t each = static_cast<std::size_t>(a.input_height) * static_cast<std::size_t>(a.input_width);
        const long frames = a.input_width / 4;
        // One epoch of `samples` in shuffled mini-batches at the schedule's
        // rate for `epoch`; returns the mean loss.
        const auto run_epoch = [&](torch::optim::Adam& opt, const std::vector<const TrainSample*>& samples, int epoch) {
            const double lr = config.learning_rate * 0.5 *
                              (1.0 + std::cos(M_PI * (epoch - 1) / std::max(1, config.max_epochs)));
            for (auto& g : opt.param_groups()) static_cast<torch::optim::AdamOptions&>(g.options()).lr(lr);
            std::vector<std::size_t> order(samples.size());
            std::iota(order.begin(), order.end(), 0);
            std::shuffle(order.begin(), order.end(), rng);
            net->train();
            double loss_sum = 0;
            long batches = 0;
            for (std::size_t start = 0; start < order.size(); start += static_cast<std::size_t>(config.batch)) {
                const std::size_t n = std::min(order.size() - start, static_cast<std::size_t>(config.batch));
                if (n < 2) continue;  // batch norm needs more than one plate
                std::vector<float> in(n * each);
                std::vector<long> targets, lengths;
                for (std::size_t i = 0; i < n; ++i) {
                    const TrainSample& s = *samples[order[start + i]];
                    sample_input(s, a, config.augment ? &rng : nullptr, in.data() + i * each);
                    for (char c : s.text) targets.push_back(static_cast<long>(a.charset.find(c)) + 1);
                    lengths.push_back(static_cast<long>(s.text.size()));
                }
                auto x = torch::from_blob(in.data(), {static_cast<long>(n), 1, a.input_height, a.input_width});
                auto y = net->forward(x).transpose(0, 1);  // T x N x C
                auto tgt = torch::from_blob(targets.data(), {static_cast<long>(targets.size())}, torch::kLong);
                auto tl = torch::from_blob(lengths.data(), {static_cast<long>(n)}, torch::kLong);
                auto il = torch::full({static_cast<long>(n)}, frames, torch::kLong);
                auto loss = torch::ctc_loss(y, tgt, il, tl, 0, at::Reduction::Mean, true);
                opt.zero_grad();
                loss.backward();
                torch::nn::utils::clip_grad_norm_(net->parameters(), 5.0);
                opt.step();
                loss_sum += loss.item<double>();
                ++batches;
            }
            return batches ? loss_sum / static_cast<double>(batches) : 0.0;
        };

        std::vector<float> best = initial;
        EpochChooser chooser;
        int since_best = 0, best_epoch = 0, epochs_run = 0;
        {
            torch::optim::Adam opt(net->parameters(), torch::optim::AdamOptions(config.learning_rate));
            for (int epoch = 1; epoch <= config.max_epochs; ++epoch) {
                EpochReport rep;
                rep.epoch = epoch;
                rep.loss = run_epoch(opt, tr, epoch);
                epochs_run = epoch;
                if (!va.empty()) {
                    const Score s = score_of(net, a, va);
                    rep.val_exact = s.exact;
                    rep.val_chars = s.chars;
                }
                if (va.empty() || chooser.add(rep.val_exact, rep.val_chars, rep.loss)) {
                    best = flatten_parameters(net);
                    best_epoch = epoch;
                    since_best = 0;
                    rep.kept = true;
                } else {
                    ++since_best;
                }
                if (progress) progress(rep);
                // A CTC network reads nothing for its first epochs; stopping
                // is left to the second half of the epochs.
                if (!va.empty() && since_best >= config.patience && 2 * epoch >= config.max_epochs) break;
                if (config.max_seconds > 0 && seconds() >= config.max_seconds) break;
            }
        }
        // The refit sees the validation samples too, its time in proportion
        // (the first phase's seconds per epoch, validation included, bound
        // it from above).
        const double refit_seconds = seconds() / std::max(1, epochs_run) * static_cast<double>(tr.size() + va.size()) /
                                     static_cast<double>(tr.size()) * best_epoch;
        if (config.refit && !va.empty() && best_epoch > 0 &&
            (config.max_seconds <= 0 || seconds() + refit_seconds <= config.max_seconds)) {
            std::vector<const TrainSample*> all = tr;
            all.insert(all.end(), va.begin(), va.end());
            torch::manual_seed(config.seed);
            rng.seed(config.seed);
            if (!assign_parameters(net, initial)) return Status::internal;
            torch::optim::Adam opt(net->parameters(), torch::optim::AdamOptions(config.learning_rate));
            for (int epoch = 1; epoch <= best_epoch; ++epoch) {
                EpochReport rep;
                rep.epoch = epoch;
                rep.loss = run_epoch(opt, all, epoch);
                rep.kept = true;
                rep.refit_epochs = best_epoch;
                if (progress) progress(rep);
            }
            best = flatten_parameters(net);
        }
        model.parameters = std::move(best);
        return Status::ok;
    } catch (const std::bad_alloc&) {
        return Status::no_memory;
    } catch (...) {
        return Status::internal;
    }
}

}  // namespace platenet
