// Passages: joining reads across frames, closing them, and the vote.
#include "watch/tracker.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace platix::watch {

namespace {

constexpr std::size_t kMaxDistinctTexts = 64;
constexpr int kUnread = '^';

std::string without_blanks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

double weight_of(const PlateRead& r) { return r.confidence < 0 ? 1.0 : r.confidence; }

long long area(const Box& b) {
    return static_cast<long long>(b.right - b.left + 1) * static_cast<long long>(b.bottom - b.top + 1);
}

// Better evidence of its text: a higher confidence, else a larger box.
bool better(const PlateRead& a, const PlateRead& b) {
    if (weight_of(a) != weight_of(b)) return weight_of(a) > weight_of(b);
    return area(a.box) > area(b.box);
}

}  // namespace

double overlap(const Box& a, const Box& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left) + 1;
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) + 1;
    if (w <= 0 || h <= 0) return 0;
    const long long inter = w * h;
    return static_cast<double>(inter) / static_cast<double>(area(a) + area(b) - inter);
}

std::string vote(const std::vector<PlateRead>& reads) {
    std::map<std::size_t, double> by_length;
    for (const auto& r : reads) by_length[r.text.size()] += weight_of(r);
    if (by_length.empty()) return {};
    std::size_t length = 0;
    double most = -1;
    for (const auto& [n, w] : by_length)  // ascending: a tie keeps the shorter length
        if (w > most) most = w, length = n;
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) {
        double weights[256] = {};
        for (const auto& r : reads)
            if (r.text.size() == length) weights[static_cast<unsigned char>(r.text[i])] += weight_of(r);
        // The engine's mark for an unread character wins only alone.
        int top = kUnread;
        for (int c = 0; c < 256; ++c)
            if (c != kUnread && weights[c] > 0 && (top == kUnread || weights[c] > weights[top])) top = c;
        text[i] = static_cast<char>(top);
    }
    return text;
}

Tracker::Tracker(TrackerSettings settings) : settings_(settings) {}

bool Tracker::near(const Box& a, const Box& b) const {
    if (overlap(a, b) > 0) return true;
    const double cx = (a.left + a.right) / 2.0 - (b.left + b.right) / 2.0;
    const double cy = (a.top + a.bottom) / 2.0 - (b.top + b.bottom) / 2.0;
    const double width = std::max(a.right - a.left + 1, b.right - b.left + 1);
    return std::hypot(cx, cy) <= settings_.reach_widths * width;
}

int Tracker::distance(const Open& p, const std::string& text) const {
    const std::string t = without_blanks(text);
    int best = edit_distance(without_blanks(p.last.text), t);
    for (const auto& b : p.best_pool) best = std::min(best, edit_distance(without_blanks(b.text), t));
    return best;
}

bool Tracker::joins(const Open& p, const PlateRead& r) const {
    const int d = distance(p, r.text);
    if (d == 0) return true;
    return d <= settings_.max_edits && near(p.last.box, r.box);
}

void Tracker::join(Open& p, const PlateRead& r) {
    if (p.reads == 0) p.first = r;
    p.last = r;
    ++p.reads;
    if (p.kept.size() < settings_.kept_reads) p.kept.push_back(r);
    for (auto& b : p.best_pool)
        if (b.text == r.text) {
            if (better(r, b)) b = r;
            return;
        }
    if (p.best_pool.size() < kMaxDistinctTexts) p.best_pool.push_back(r);
}

std::vector<Passage> Tracker::add_frame(double t, const std::vector<PlateRead>& reads) {
    std::vector<Passage> closed;
    for (auto it = open_.begin(); it != open_.end();) {
        if (t - it->last.t > settings_.gap_s) {
            closed.push_back(close(*it));
            it = open_.erase(it);
        } else {
            ++it;
        }
    }
    // Each passage takes at most one read of a frame: the closest text,
    // then the largest overlap.
    // Reads closest in text to an open passage are placed first, so that a
    // second, doubtful field on the same plate cannot take its place.
    std::vector<const PlateRead*> order;
    for (const auto& r : reads)
        if (r.text.size() >= settings_.min_chars) order.push_back(&r);
    const auto nearest = [&](const PlateRead* r) {
        int best = settings_.max_edits + 1;
        for (const auto& p : open_) best = std::min(best, distance(p, r->text));
        return best;
    };
    std::vector<int> distance_of(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) distance_of[i] = nearest(order[i]);
    std::vector<std::size_t> by_distance(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) by_distance[i] = i;
    std::stable_sort(by_distance.begin(), by_distance.end(),
                     [&](std::size_t a, std::size_t b) { return distance_of[a] < distance_of[b]; });

    std::vector<bool> taken(open_.size(), false);
    std::vector<const PlateRead*> placed;
    for (const std::size_t i : by_distance) {
        const PlateRead& r = *order[i];
        std::size_t pick = open_.size();
        int pick_distance = 0;
        double pick_overlap = 0;
        for (std::size_t k = 0; k < open_.size(); ++k) {
            if (taken[k] || !joins(open_[k], r)) continue;
            const int d = distance(open_[k], r.text);
            const double o = overlap(open_[k].last.box, r.box);
            if (pick == open_.size() || d < pick_distance || (d == pick_distance && o > pick_overlap))
                pick = k, pick_distance = d, pick_overlap = o;
        }
        if (pick == open_.size()) {
            // Another field on a plate already placed in this frame (the
            // same text, a box overlapping it, or a similar text near it)
            // is not a new plate.
            const bool duplicate = std::any_of(placed.begin(), placed.end(), [&](const PlateRead* q) {
                return q->text == r.text || overlap(q->box, r.box) > 0 ||
                       (near(q->box, r.box) &&
                        edit_distance(without_blanks(q->text), without_blanks(r.text)) <= settings_.max_edits);
            });
            if (duplicate) continue;
            open_.push_back(Open{});
            open_.back().id = next_id_++;
            taken.push_back(false);
            pick = open_.size() - 1;
        }
        taken[pick] = true;
        join(open_[pick], r);
        placed.push_back(&r);
    }
    return closed;
}

std::vector<Passage> Tracker::flush() {
    std::vector<Passage> closed;
    for (const auto& p : open_) closed.push_back(close(p));
    open_.clear();
    return closed;
}

std::vector<long> Tracker::best_frames() const {
    std::vector<long> out;
    for (const auto& p : open_) out.push_back(close(p).best.frame);
    return out;
}

Passage Tracker::close(const Open& p) const {
    Passage out;
    out.id = p.id;
    out.text = vote(p.kept);
    out.first_t = p.first.t;
    out.first_wall = p.first.wall;
    out.last_t = p.last.t;
    out.last_wall = p.last.wall;
    out.reads = p.reads;

    double total = 0;
    std::map<std::string, double> shares;
    double agree_confidence = 0;
    int agree_with_confidence = 0;
    for (const auto& r : p.kept) {
        total += weight_of(r);
        shares[r.text] += weight_of(r);
        for (const auto& a : r.alternatives) {
            if (a.text == r.text || a.share <= 0) continue;
            total += a.share;
            shares[a.text] += a.share;
        }
        if (r.text == out.text && r.confidence >= 0) agree_confidence += r.confidence, ++agree_with_confidence;
    }
    for (const auto& [text, w] : shares) out.candidates.push_back({text, total > 0 ? w / total : 0});
    std::stable_sort(out.candidates.begin(), out.candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.share > b.share; });
    if (agree_with_confidence > 0) out.confidence = agree_confidence / agree_with_confidence;

    // The best read: of the texts nearest the vote, the best evidence.
    const PlateRead* best = nullptr;
    int best_distance = 0;
    for (const auto& r : p.best_pool) {
        const int d = edit_distance(r.text, out.text);
        if (best == nullptr || d < best_distance || (d == best_distance && better(r, *best))) best = &r, best_distance = d;
    }
    if (best != nullptr) out.best = *best;
    return out;
}

}  // namespace platix::watch
