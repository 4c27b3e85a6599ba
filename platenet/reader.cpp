#include "reader.h"

#include <algorithm>
#include <map>

namespace platenet {

namespace {
constexpr int kPoolDepth = 10;
}  // namespace

Status Reader::from_network(std::unique_ptr<Network> net, std::unique_ptr<Reader>* out) {
    auto r = std::make_unique<Reader>();
    r->net_ = std::move(net);
    *out = std::move(r);
    return Status::ok;
}

Status Reader::load(const std::uint8_t* bytes, std::size_t size, std::unique_ptr<Reader>* out) {
    ModelFile file;
    if (const Status s = decode_model(bytes, size, &file); s != Status::ok) return s;
    std::unique_ptr<Network> net;
    if (const Status s = Network::create(file, &net); s != Status::ok) return s;
    return from_network(std::move(net), out);
}

Status Reader::load_file(const std::string& path, std::unique_ptr<Reader>* out) {
    ModelFile file;
    if (const Status s = load_model_file(path, &file); s != Status::ok) return s;
    std::unique_ptr<Network> net;
    if (const Status s = Network::create(file, &net); s != Status::ok) return s;
    return from_network(std::move(net), out);
}

Status Reader::read(const GrayView& page, int left, int top, int right, int bottom, const std::string& syntaxes,
                    int topn, std::vector<Candidate>* out, double pool_below) const {
    out->clear();
    if (page.pixels == nullptr || page.width <= 0 || page.height <= 0 || page.stride < page.width)
        return Status::bad_argument;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, page.width);
    bottom = std::min(bottom, page.height);
    if (right <= left || bottom <= top || topn < 1) return Status::bad_argument;
    keep_character_rows(left, right, &top, &bottom);
    std::vector<std::string> syn;
    if (!parse_syntaxes(syntaxes, &syn)) return Status::bad_argument;
    const auto& a = arch();
    const std::size_t each = static_cast<std::size_t>(a.input_height) * static_cast<std::size_t>(a.input_width);
    const std::vector<RectF> crops = nudged_crops(left, top, right, bottom);
    std::vector<float> input(each);
    crop_input(page, crops[0], a.input_height, a.input_width, input.data());
    // Every reading lists enough texts for a pooled ranking to see beyond
    // its own first few.
    const int depth = std::max(topn, kPoolDepth);
    std::vector<std::vector<Candidate>> readings{decode(net_->run(input.data(), 1)[0], a.charset, depth, syn)};
    if (readings[0].empty() || readings[0].front().probability >= pool_below) {
        *out = std::move(readings[0]);
        if (out->size() > static_cast<std::size_t>(topn)) out->resize(static_cast<std::size_t>(topn));
        return Status::ok;
    }
    // Unsure: the other crops, in one run (the first one's input is no longer needed).
    input.resize(each * (crops.size() - 1));
    for (std::size_t i = 1; i < crops.size(); ++i)
        crop_input(page, crops[i], a.input_height, a.input_width, input.data() + (i - 1) * each);
    for (const auto& f : net_->run(input.data(), static_cast<int>(crops.size() - 1)))
        readings.push_back(decode(f, a.charset, depth, syn));
    *out = pool_readings(readings, topn);
    return Status::ok;
}

std::vector<RectF> nudged_crops(int left, int top, int right, int bottom) {
    const RectF base = field_crop(left, top, right, bottom);
    const float h = static_cast<float>(bottom - top), dx = 0.15f * h, dy = 0.08f * h;
    return {base,
            {base.x0 - dx, base.y0, base.x1 + dx, base.y1},
            {base.x0 + dx, base.y0, base.x1 - dx, base.y1},
            {base.x0, base.y0 - dy, base.x1, base.y1 + dy},
            {base.x0, base.y0 + dy, base.x1, base.y1 - dy}};
}

std::vector<Candidate> pool_readings(const std::vector<std::vector<Candidate>>& readings, int topn) {
    std::vector<Candidate> pooled;
    std::vector<double> best;  // per pooled text: the highest probability one reading gave it
    std::map<std::string, std::size_t> at;
    const double share = readings.empty() ? 0 : 1.0 / static_cast<double>(readings.size());
    for (const auto& reading : readings)
        for (const Candidate& c : reading) {
            const auto [it, fresh] = at.emplace(c.text, pooled.size());
            if (fresh) {
                pooled.push_back(c);
                pooled.back().probability = 0;
                best.push_back(-1);
            }
            Candidate& p = pooled[it->second];
            p.probability += share * c.probability;
            p.fits_syntax = p.fits_syntax || c.fits_syntax;
            if (c.probability > best[it->second]) {
                best[it->second] = c.probability;
                p.char_confidence = c.char_confidence;
            }
        }
    rank_candidates(pooled, kSyntaxPrior);
    if (topn >= 0 && pooled.size() > static_cast<std::size_t>(topn)) pooled.resize(static_cast<std::size_t>(topn));
    return pooled;
}

}  // namespace platenet
