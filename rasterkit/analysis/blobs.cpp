// Character-blob analysis: thin strokes, frame edges, specks, blobs of the
// wrong height or shape, bars and characters glued to the frame are erased
// until only the row of character blobs is left.
#include "blobs.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "field_bitmap.h"
#include "labelling.h"
#include "zero_alloc.h"

namespace rk {
namespace {

int len(const Run& r) { return r.last - r.first + 1; }

class BlobAnalysis {
public:
    BlobAnalysis(AnalysisInstance& a, int mode) : a_(a), mode_(mode), W_(a.BMP_columns), H_(a.BMP_lines) {}
    int run();

private:
    AnalysisInstance& a_;
    const int mode_;
    const int W_;
    const int H_;
    bool split_ = false;

    Component& comp(int i) { return a_.componenttable[i]; }
    int fail() {
        a_.n_components = 0;
        return 0;
    }

    // Runs of row y, right to left.
    template <typename F>
    void for_row(int y, F f) {
        if (y < 0 || y >= a_.rowindex_lines) return;
        for (Run* r = a_.rowindex[y]; r != nullptr && r->row == y; r = r->next) f(*r);
    }
    template <typename F>
    void for_runs(F f) {
        for (Run* r = a_.runlist; r != nullptr; r = r->next) f(*r);
    }
    template <typename F>
    void for_present(F f) {
        for (int i = 0; i < a_.n_table; ++i)
            if (present(comp(i))) f(i, comp(i));
    }
    int count_present() {
        int n = 0;
        for_present([&](int, Component&) { ++n; });
        return n;
    }
    // Present component with the smallest leftmost column (first in table
    // order on ties), optionally other than `except`; -1 when none.
    int leftmost(int except = -1) {
        int best = -1;
        for_present([&](int i, Component& c) {
            if (i != except && (best < 0 || c.left < comp(best).left)) best = i;
        });
        return best;
    }
    int rightmost(int except = -1) {
        int best = -1;
        for_present([&](int i, Component& c) {
            if (i != except && (best < 0 || c.right > comp(best).right)) best = i;
        });
        return best;
    }
    // Sum over the present components, less the largest and the smallest
    // value when more than 3 exist, divided by the count (at least 1).
    template <typename F>
    int trimmed_mean(F value) {
        long long sum = 0;
        int n = 0, lo = INT_MAX, hi = INT_MIN;
        for_present([&](int, Component& c) {
            const int v = value(c);
            sum += v;
            ++n;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        });
        if (n > 3) {
            sum -= lo + hi;
            n -= 2;
        }
        return static_cast<int>(sum / std::max(n, 1));
    }
    // Ink of component i in row y: the summed lengths of its runs there.
    int row_ink(int i, int y) {
        int n = 0;
        for_row(y, [&](Run& r) {
            if (r.label == i) n += len(r);
        });
        return n;
    }
    void erase_column(int x, int top, int bottom) {
        for (int y = top; y <= bottom; ++y) pixel_set_white(a_, x, y);
    }

    void thin_strokes();
    void erase_edge_rows();
    void split_side_blobs();
    int short_runs(bool all_runs_for_mean);
    int frame_glue();
    void height_filter();
    void narrow_end_blobs();
    int first_pair();
    void shape_classes();
    int character_row();
    void end_widths();
    int mode0_end();
};

// Removes the pixels of lines one pixel thick.
void BlobAnalysis::thin_strokes() {
    if (W_ < 1 || H_ < 1) return;
    orvo::ZeroPtr<unsigned char> marker(
        static_cast<unsigned char*>(orvo::zero_alloc(static_cast<std::size_t>(W_) * static_cast<std::size_t>(H_))));
    if (!marker) return;
    // The marker map holds 1 for every ink pixel to remove (and in column 0
    // of each row that has one); every other ink
    // pixel (the ones kept, and those of the first and last rows and
    // columns) is drawn again as it was.
    unsigned char* m = marker.get();
    auto ink = [&](int x, int y) { return pixel_is_ink(a_, x, y) != 0; };
    bool remove_any = false;
    const int last = std::min(W_ - 2, 8 * a_.BMP_bpl - 1);
    for (int y = 1; y < H_ - 1; ++y) {
        const unsigned char* row = bitmap_row(a_, y);
        for (int x = next_ink(row, 1, last); x <= last; x = next_ink(row, x + 1, last)) {
            const bool horiz = ink(x - 1, y) || ink(x + 1, y);
            const bool up = ink(x, y - 1), down = ink(x, y + 1);
            const bool vert = up || down;
            const bool diag = ink(x - 1, y - 1) || ink(x + 1, y - 1) || ink(x - 1, y + 1) || ink(x + 1, y + 1);
            const bool remove = mode_ == 0 ? (!diag && horiz != vert) : (horiz && !vert && !diag);
            if (remove) {
                remove_any = true;
                m[static_cast<std::size_t>(y) * W_ + x] = 1;
                m[static_cast<std::size_t>(y) * W_] = 1;  // column 0 is never removed: the row's flag
            }
        }
    }
    if (!remove_any) return;
    // Blank and draw again: the removed pixels and the bits past the last
    // column become background.
    const int bpl = a_.BMP_bpl;
    for (int y = 0; y < H_; ++y) {
        unsigned char* row = bitmap_row(a_, y);
        for (int x = W_; x < 8 * bpl; ++x) row[x >> 3] = static_cast<unsigned char>(row[x >> 3] | (0x80 >> (x & 7)));
        if (m[static_cast<std::size_t>(y) * W_] == 0) continue;
        for (int x = 1; x < W_ - 1; ++x)
            if (m[static_cast<std::size_t>(y) * W_ + x] != 0) pixel_set_white(a_, x, y);
    }
}

// Erases the runs of the top and the bottom row.
void BlobAnalysis::erase_edge_rows() {
    for_row(0, [&](Run& r) { erase_run(a_, &r); });
    for_row(H_ - 1, [&](Run& r) { erase_run(a_, &r); });
}

// Mode 0: the inner runs of a blob glued to a side get a label of
// their own, so that the side part alone fails the size filter.
void BlobAnalysis::split_side_blobs() {
    auto touches = [&](const Run& r) { return r.label >= 0 && (r.first == 0 || r.last == W_ - 1); };
    int n_side = 0;
    for_runs([&](Run& r) { n_side += touches(r) ? 1 : 0; });
    if (n_side == 0 || a_.next_label < 1) return;
    orvo::ZeroPtr<unsigned char> seen(static_cast<unsigned char*>(orvo::zero_alloc(static_cast<std::size_t>(a_.next_label))));
    if (!seen) return;  // the count of labels is unknown: no split
    unsigned char* state = seen.get();  // 1: label present, 2: its blob is split
    int labels = 0;
    for_runs([&](Run& r) {
        if (r.label >= 0 && !state[r.label]) {
            state[r.label] = 1;
            ++labels;
        }
    });
    if (labels <= 4) return;
    // A blob's extent, kept for the last label asked on each side: side
    // runs keep their labels, and a label's runs only change when its blob
    // is split, after which its side runs have nothing left to move.
    int lo_label = -1, lo = 0, hi_label = -1, hi = 0;
    for_runs([&](Run& r) {
        if (!touches(r) || state[r.label] == 2) return;
        bool pass_over;
        if (W_ > 3 * H_) {
            int span;
            const bool at_left = r.first == 0, at_right = r.last == W_ - 1;
            if (at_left && at_right) {
                span = W_;
            } else if (at_right) {
                if (lo_label != r.label) {
                    lo_label = r.label;
                    lo = r.first;
                    for_runs([&](Run& q) {
                        if (q.label == r.label) lo = std::min(lo, q.first);
                    });
                }
                span = W_ - lo;
            } else {
                if (hi_label != r.label) {
                    hi_label = r.label;
                    hi = r.last;
                    for_runs([&](Run& q) {
                        if (q.label == r.label) hi = std::max(hi, q.last);
                    });
                }
                span = hi + 1;
            }
            pass_over = 2 * span <= 100;
        } else {
            pass_over = 2 * W_ < 3 * H_;
        }
        if (pass_over) return;
        // Every run not passed over counts as a split, even when its blob
        // has no inner runs left to move.
        const int fresh = a_.next_label++;
        for_runs([&](Run& q) {
            if (&q != &r && q.label == r.label && q.first != 0 && q.last != W_ - 1) q.label = fresh;
        });
        state[r.label] = 2;
        if (lo_label == r.label) lo_label = -1;
        if (hi_label == r.label) hi_label = -1;
        split_ = true;
    });
}

// Short runs in sparse rows. Returns 0 when relabelling fails.
int BlobAnalysis::short_runs(bool all_runs_for_mean) {
    int sum = 0, n = 0;
    for_runs([&](Run& r) {
        if ((all_runs_for_mean || r.label >= 0) && len(r) < 10) {
            sum += len(r);
            ++n;
        }
    });
    const int L = sum / std::max(n, 1);
    auto row_count = [&](int y) {
        int c = 0;
        for_row(y, [&](Run& r) { c += r.label >= 0 ? 1 : 0; });
        return c;
    };
    int M = 0;
    for (int y = 0; y < H_; ++y) M = std::max(M, row_count(y));
    if (M <= 8) return 1;  // nothing erased: the labels stand as they are
    for (int y = 0; y < H_; ++y) {
        const int c = row_count(y);
        if (c == 0 || 4 * c > M) continue;
        for_row(y, [&](Run& r) {
            if (r.label < 0 || len(r) >= L) return;
            if (mode_ == 1) {
                const Component& k = comp(r.label);
                if (!(k.height > 4 * k.width)) erase_run(a_, &r);
                return;
            }
            int similar = 0, different = 0;
            for (int yy : {y - 1, y + 1}) {
                for_row(yy, [&](Run& q) {
                    if (q.label != r.label || q.first > r.last || r.first > q.last) return;
                    const int l1 = len(r), l2 = len(q);
                    if (std::abs(l1 - l2) > std::max(std::max(l1, l2) / 3, 3))
                        ++different;
                    else
                        ++similar;
                });
            }
            bool alone = true;
            for_row(y, [&](Run& q) {
                if (&q != &r && q.label == r.label) alone = false;
            });
            if (!(similar >= 1 && different == 0 && alone)) erase_run(a_, &r);
        });
    }
    return relabel(a_);
}

// Mode 0, plates 1.5 to 3 times as wide as high): cut characters
// glued to a frame edge at the height of the row. Returns 0 when nothing
// is left or memory runs out.
int BlobAnalysis::frame_glue() {
    if (split_) {
        // The erased side-touching runs of the current run list, inside
        // the box of the runs still labelled. A relabelling since the size
        // filter has dropped every erased run: then nothing is drawn.
        int x0 = INT_MAX, x1 = -1, y0 = INT_MAX, y1 = -1;
        for_runs([&](Run& r) {
            if (r.label < 0) return;
            x0 = std::min(x0, r.first);
            x1 = std::max(x1, r.last);
            y0 = std::min(y0, r.row);
            y1 = std::max(y1, r.row);
        });
        for_runs([&](Run& r) {
            if (r.label >= 0 || (r.first != 0 && r.last != W_ - 1) || r.row < y0 || r.row > y1) return;
            for (int x = std::max(r.first, x0); x <= std::min(r.last, x1); ++x) pixel_set_ink(a_, x, r.row);
        });
        if (!relabel(a_)) return 0;
        filter_components(a_, 0);
        if (a_.n_components == 0) return 0;
        if (!short_runs(true)) return 0;
    }

    // Reference height: the component with most peers of its height,
    // or a clearly taller group with enough peers.
    auto peers = [&](int i) {
        const int h = comp(i).height, tol = std::max(h / 7, 3);
        int n = 0;
        for_present([&](int j, Component& c) {
            if (j != i && std::abs(c.height - h) <= tol) ++n;
        });
        return n >= 2 ? n + 1 : 0;
    };
    int ref = -1, best = 0;
    for_present([&](int i, Component&) {
        const int s = peers(i);
        if (s > best) {
            best = s;
            ref = i;
        }
    });
    int refh;
    if (ref >= 0) {
        int switched = 0;
        for_present([&](int i, Component& c) {
            const int s = peers(i);
            if (s > std::max(2, switched) && 2 * c.height > 3 * comp(ref).height) {
                ref = i;
                switched = s;
            }
        });
        refh = comp(ref).height;
    } else {
        long long sum = 0;
        int n = 0, lo = INT_MAX, hi = INT_MIN;
        for_present([&](int, Component& c) {
            sum += c.height;
            ++n;
            lo = std::min(lo, c.height);
            hi = std::max(hi, c.height);
        });
        if (n > 2) {
            sum -= lo + hi;
            n -= 2;
        }
        refh = static_cast<int>(sum / std::max(n, 1));
    }

    // Character height and width.
    const int rtol = std::max(refh / 7, 3);
    long long sh = 0, sw = 0;
    int nc = 0, tallest = INT_MIN, lowest = INT_MAX;
    for_present([&](int, Component& c) {
        tallest = std::max(tallest, c.height);
        lowest = std::min(lowest, c.height);
        if (std::abs(c.height - refh) <= rtol) {
            sh += c.height;
            sw += c.width;
            ++nc;
        }
    });
    const int Hc = static_cast<int>(sh / std::max(nc, 1));
    const int Wc = static_cast<int>(sw / std::max(nc, 1));
    const int t = std::max(Hc / 7, 3);
    if (nc < 3 || tallest - lowest <= t) return relabel(a_);

    // Centre line through the components of the character height.
    int lm = -1, rm = -1;
    for_present([&](int i, Component& c) {
        if (std::abs(c.height - Hc) > t) return;
        if (lm < 0 || c.left < comp(lm).left) lm = i;
        if (rm < 0 || c.right > comp(rm).right) rm = i;
    });
    int anchor = -1, n_line = 0, n_at_height = 0;
    long long sum_b = 0, sum_top = 0;
    int b_lo = INT_MAX, b_hi = INT_MIN;
    for_present([&](int i, Component& c) {
        if (std::abs(c.height - Hc) > t) return;
        ++n_at_height;
        sum_top += c.top;
        if (i == lm || i == rm) return;
        if (anchor < 0) {
            anchor = i;
            return;
        }
        const Component& an = comp(anchor);
        // A component straight above or below the anchor gives no line.
        if (c.cx == an.cx) return;
        const int v = static_cast<int>(an.cy - static_cast<long long>(c.cy - an.cy) * an.cx / (c.cx - an.cx));
        sum_b += v;
        ++n_line;
        b_lo = std::min(b_lo, v);
        b_hi = std::max(b_hi, v);
    });
    long long b;
    long long slope = 0;
    if (n_line >= 1) {
        if (n_line >= 4) {
            sum_b -= b_lo;
            --n_line;
            if (b_hi != b_lo) {
                sum_b -= b_hi;
                --n_line;
            }
        }
        b = sum_b / n_line;
        const Component& an = comp(anchor);
        slope = an.cx != 0 ? (an.cy - b) * 10000 / an.cx : 0;
    } else {
        b = Hc / 2 + sum_top / std::max(n_at_height, 1) + 1;  // mean top of the blobs at the character height
    }

    // End components spanning the whole width or height, or too wide.
    auto end_check = [&](int i) {
        if (i < 0 || !present(comp(i))) return;
        const Component& c = comp(i);
        if (c.right >= W_ - 2 || (c.top <= 3 && c.bottom >= H_ - 2) || c.width > 5 * Wc / 2) erase_component(a_, i);
    };
    {
        const int l = leftmost(), r = rightmost();
        end_check(l);
        if (r != l) end_check(r);
    }

    // Cut components taller than the row at the row's band.
    lm = leftmost();
    rm = rightmost();
    const int g = Wc / 5 < 3 ? Wc / 5 : 2;
    for_present([&](int i, Component& c) {
        if (!(c.height > Hc + t && c.height <= 4 * c.width && c.width <= 5 * Wc / 2)) return;
        const long long cc = (c.cx * slope + b * 10000) / 10000;
        const long long band_top = cc - Hc / 2 - 1;
        const long long band_bottom = cc + Hc / 2 + 1;
        const long long dt = std::llabs((c.top - 1) - band_top);
        const long long db = std::llabs((c.bottom + 1) - band_bottom);
        long long upper = -1, lower = H_;
        if (0 < dt && dt < 4 && dt < db) {
            lower = c.top + Hc;
        } else if (0 < db && db < 4 && db < dt) {
            upper = c.bottom - Hc;
        } else {
            if (band_top < H_) upper = band_top;
            if (band_bottom >= 0) lower = band_bottom;
        }
        for (long long cut : {upper, lower}) {
            if (cut < 0 || cut >= H_) continue;
            for_row(static_cast<int>(cut), [&](Run& r) {
                if (r.label == i) erase_run(a_, &r);
            });
        }
        if (4 * c.width < 5 * Wc) return;
        if (i == lm) {
            int e = -1;
            for_runs([&](Run& r) {
                if (r.label == i && r.row > upper && r.row < lower) e = std::max(e, r.last);
            });
            const int x1 = e - Wc - g, x2 = x1 - (Wc + g);
            if (x1 >= c.left) erase_column(x1, c.top, c.bottom);
            if (x2 >= c.left) erase_column(x2, c.top, c.bottom);
        }
        if (i == rm) {
            int s = INT_MAX;
            for_runs([&](Run& r) {
                if (r.label == i && r.row > upper && r.row < lower) s = std::min(s, r.first);
            });
            if (s != INT_MAX) {
                const int x1 = s + Wc + g, x2 = x1 + Wc + g;
                if (x1 <= c.right) erase_column(x1, c.top, c.bottom);
                if (x2 <= c.right) erase_column(x2, c.top, c.bottom);
            }
        }
    });
    return relabel(a_);
}

// Height filter: blobs far below the mean height, and ones far above it.
void BlobAnalysis::height_filter() {
    const int Q = trimmed_mean([](const Component& c) { return c.height * c.height; });
    const int low = std::max(5 * Q / 9, 420);
    for_present([&](int i, Component& c) {
        if (c.height * c.height < low) erase_component(a_, i);
    });
    const int Q2 = trimmed_mean([](const Component& c) { return c.height * c.height; });
    auto too_tall = [&](int i) {
        if (i >= 0 && present(comp(i)) && comp(i).height * comp(i).height > 10 * Q2 / 7) erase_component(a_, i);
    };
    if (mode_ == 1) {
        for (int i = 0; i < a_.n_table; ++i) too_tall(i);
    } else {
        const int l = leftmost(), r = rightmost();
        too_tall(l);
        too_tall(r);
    }
}

// Narrow end blobs, too tall or too thin for the row.
void BlobAnalysis::narrow_end_blobs() {
    const int Hm = trimmed_mean([](const Component& c) { return c.height; });
    const int Wm = trimmed_mean([](const Component& c) { return c.width; });
    auto check = [&](int i) {
        if (i < 0) return;
        const Component& c = comp(i);
        if (!(c.height > 3 * c.width)) return;
        if (c.height > Hm + Hm / 6 || 4 * c.width < Wm) erase_component(a_, i);
    };
    check(leftmost());
    check(rightmost());
}

// Mode 1: the first blob against its neighbour. Returns 0 when
// fewer than 2 components remain.
int BlobAnalysis::first_pair() {
    if (a_.n_components == 1) return 0;
    const int T = trimmed_mean([](const Component& c) { return c.top; });
    const int B = trimmed_mean([](const Component& c) { return c.bottom; });
    const int l = leftmost();
    const int nx = l >= 0 ? leftmost(l) : -1;
    if (nx >= 0 && comp(nx).left >= comp(l).right) {
        const int gap = comp(nx).left - comp(l).right;
        int nb = comp(nx).bottom, nt = comp(nx).top;
        // Halfway: the pair mean, the sum shifted right by one; the table
        // entry is not changed.
        if (nb > B) nb = (nb + B) >> 1;
        if (nt < T) nt = (nt + T) >> 1;
        if (gap < B - T && 6 * (std::abs(nb - comp(l).bottom) + std::abs(nt - comp(l).top)) > B - T)
            erase_component(a_, l);
    }
    return a_.n_components >= 2 ? 1 : 0;
}

// Shape classes: solid blocks, bars (mode 1) and sparse blobs.
void BlobAnalysis::shape_classes() {
    for_present([&](int i, Component& c) {
        const int w = c.width, h = c.height;
        if (h < 3 * w) {
            int full = 0, stretch = 0, longest = 0;
            for (int y = c.top; y <= c.bottom; ++y) {
                const int ink = row_ink(i, y);
                if (4 * ink > 3 * w) ++full;
                stretch = 5 * ink > 4 * w ? stretch + 1 : 0;
                longest = std::max(longest, stretch);
            }
            if (4 * full > 3 * h) {
                erase_component(a_, i);
                return;
            }
            if (mode_ == 1) {
                const bool wide = 3 * w > 4 * h;
                if (wide ? 4 * longest > h : 4 * longest > 3 * h) {
                    erase_component(a_, i);
                    return;
                }
            }
        }
        int sparse = 0;
        for (int y = c.top; y <= c.bottom; ++y)
            if (5 * row_ink(i, y) < w) ++sparse;
        if (10 * sparse > 9 * h) erase_component(a_, i);
    });
}

// Mode 1: narrow or wide blobs at the ends of a long row.
void BlobAnalysis::end_widths() {
    if (a_.n_components < 6) return;
    struct Span {
        int L, R, w;
    };
    orvo::ZeroPtr<Span> spans(static_cast<Span*>(orvo::zero_alloc_array(static_cast<std::size_t>(a_.n_table), sizeof(Span))));
    if (!spans) return;
    Span* sp = spans.get();
    int Wmin = INT_MAX, Wmax = INT_MIN, count = 0;
    long long sum = 0;
    for_present([&](int i, Component& c) {
        sp[i].L = std::max(c.left, 1);
        sp[i].R = c.right;
        sp[i].w = sp[i].R - sp[i].L + 1;
        Wmin = std::min(Wmin, sp[i].w);
        Wmax = std::max(Wmax, sp[i].w);
        sum += sp[i].w;
        ++count;
    });
    const int n = a_.n_components;
    int Wm;
    if (2 * Wmin < Wmax && n > 5) {
        int narrow = 0;
        long long wide_sum = 0;
        for_present([&](int i, Component&) {
            if (sp[i].w < Wmin + Wmin / 2)
                ++narrow;
            else
                wide_sum += sp[i].w;
        });
        if (2 * narrow > count)
            Wm = static_cast<int>(sum / std::max(count, 1));
        else
            Wm = static_cast<int>(wide_sum / std::max(count - narrow, 1));
    } else if (n > 3) {
        Wm = static_cast<int>((sum - Wmax - Wmin) / std::max(count - 2, 1));
    } else {
        Wm = static_cast<int>(sum / std::max(count, 1));
    }
    const int g = std::min(Wmin / 5, 3);
    if (static_cast<long long>(Wmin - g) * (n - 1) + Wmax > static_cast<long long>(Wm) * n) return;

    auto runs_per_row_at_most_2 = [&](int i) {
        const Component& c = comp(i);
        for (int y = c.top; y <= c.bottom; ++y) {
            int k = 0;
            for_row(y, [&](Run& r) { k += r.label == i ? 1 : 0; });
            if (k > 2) return false;
        }
        return true;
    };
    auto widest_span = [&](int i) {
        bool widest = true;
        for_present([&](int j, Component&) {
            if (j != i && sp[i].R - sp[i].L <= sp[j].R - sp[j].L) widest = false;
        });
        return widest;
    };
    // side 0: the leftmost component (smallest L); side 1: the rightmost
    // (largest R), in the mirror way.
    for (int side = 0; side < 2; ++side) {
        if (side == 1 && a_.n_components <= 1) break;
        int e = -1;
        for_present([&](int i, Component&) {
            if (e < 0 || (side == 0 ? sp[i].L < sp[e].L : sp[i].R > sp[e].R)) e = i;
        });
        if (e < 0) break;
        const int we = sp[e].w;
        const int q = Wm / 4 < 7 ? Wm / 4 : 6;
        if (we < q || (n < 8 && we < std::max(Wm / 3, 3))) {
            // A narrow end blob: erased when far from the next blob.
            int nb = -1;
            for_present([&](int i, Component&) {
                if (i == e) return;
                if (side == 0) {
                    if (sp[i].L > sp[e].R && (nb < 0 || sp[i].L < sp[nb].L)) nb = i;
                } else {
                    if (sp[i].R < sp[e].L && (nb < 0 || sp[i].R > sp[nb].R)) nb = i;
                }
            });
            if (nb >= 0) {
                const int dist = side == 0 ? sp[nb].L - sp[e].R : sp[e].L - sp[nb].R;
                if (2 * dist >= Wm) erase_component(a_, e);
            }
            continue;
        }
        if (n < 8) continue;
        if (we <= std::max(Wm / 4, 6)) {
            erase_component(a_, e);
            continue;
        }
        if (we > std::max(3 * Wm / 4, 10)) {
            if (we <= Wm + Wm / 4) continue;
            if (runs_per_row_at_most_2(e) && widest_span(e)) erase_component(a_, e);
            continue;
        }
        int nb = -1;
        for_present([&](int i, Component&) {
            if (i == e) return;
            if (nb < 0 || (side == 0 ? sp[i].L < sp[nb].L : sp[i].R > sp[nb].R)) nb = i;
        });
        if (nb >= 0) {
            const int dist = side == 0 ? sp[nb].L - sp[e].R : sp[e].L - sp[nb].R;
            if (std::abs(dist) > Wm + Wm / 2) erase_component(a_, e);
        }
    }
}

// Mode 1: the blobs must form one aligned row of characters.
int BlobAnalysis::character_row() {
    // Several blobs with long runs in nearly every row: not characters.
    int stroked = 0;
    for_present([&](int i, Component& c) {
        const int h = c.height;
        if (!(c.width > h / 3)) return;
        int rows = 0;
        for (int y = c.top; y <= c.bottom; ++y) {
            bool long_run = false;
            for_row(y, [&](Run& r) {
                if (r.label == i && len(r) > h / 3) long_run = true;
            });
            rows += long_run ? 1 : 0;
        }
        if (rows > h - h / 5) ++stroked;
    });
    if (stroked >= 2) return fail();

    // The row reaches into both outer fifths.
    int min_left = INT_MAX, max_right = INT_MIN;
    for_present([&](int, Component& c) {
        if (c.left != 0) min_left = std::min(min_left, c.left);
        max_right = std::max(max_right, c.right);
    });
    if (min_left > 2 * (W_ / 5) || max_right < 3 * (W_ / 5)) return fail();

    // The end blobs against the row and their inner neighbours.
    const int T = trimmed_mean([](const Component& c) { return c.top; });
    const int B = trimmed_mean([](const Component& c) { return c.bottom; });
    const int tol = std::max((B - T + 1) / 8, 3);
    for (int side = 0; side < 2; ++side) {
        const int e = side == 0 ? leftmost() : rightmost();
        if (e < 0) break;
        const Component& c = comp(e);
        if (std::abs(c.top - T) > tol || std::abs(c.bottom - B) > tol) {
            erase_component(a_, e);
            continue;
        }
        const int nb = side == 0 ? leftmost(e) : rightmost(e);
        if (nb < 0) continue;
        const Component& k = comp(nb);
        int d;
        if (c.height > 4 * c.width && std::abs(k.height - (B - T + 1)) <= tol)
            d = std::min(c.height - 1, k.height - 1) / 6;
        else
            d = (c.height - 1) / 3;
        if (std::abs(c.top - k.top) + std::abs(c.bottom - k.bottom) > d) erase_component(a_, e);
    }
    if (a_.n_components < 2) return fail();

    // Trim tall blobs to the row.
    for_present([&](int i, Component& c) {
        if (!(c.height > tol / 3 + (B - T) + 1 && c.height <= 4 * c.width)) return;
        for_runs([&](Run& r) {
            if (r.label == i && (r.row < T || r.row > B)) erase_run(a_, &r);
        });
    });
    if (!relabel(a_)) return fail();
    filter_components(a_, 0);
    if (a_.n_components < 2) return fail();

    // End widths.
    end_widths();

    // Overlapping column ranges count as one character.
    int overlaps = 0;
    for (int i = 0; i < a_.n_table; ++i) {
        if (!present(comp(i))) continue;
        for (int j = i + 1; j < a_.n_table; ++j)
            if (present(comp(j)) && comp(i).left <= comp(j).right && comp(j).left <= comp(i).right) ++overlaps;
    }
    if (3 * overlaps >= a_.n_components) a_.n_components = std::max(0, a_.n_components - overlaps);

    // Spacing against the character size.
    {
        int gap = INT_MAX, count = 0, wmax = INT_MIN, wmin = INT_MAX;
        long long sw = 0, sh = 0;
        for_present([&](int i, Component& c) {
            ++count;
            sw += c.width;
            sh += c.height;
            wmax = std::max(wmax, c.width);
            wmin = std::min(wmin, c.width);
            for_present([&](int j, Component& k) {
                if (j != i && c.left - k.right > 0) gap = std::min(gap, c.left - k.right);
            });
        });
        int div = count;
        if (count > 2) {
            sw -= wmax + wmin;
            div = count - 2;
        }
        div = std::max(div, 1);
        const long long Wt = sw / div, Ht = sh / div;
        if (gap != INT_MAX && 2LL * gap >= 3 * std::min(Wt, Ht)) return fail();
    }

    // Plain strokes.
    {
        int strokes = 0;
        for_present([&](int i, Component& c) {
            if (c.height > 4 * c.width) {
                ++strokes;
                return;
            }
            bool plain = true;
            for (int y = c.top; y <= c.bottom && plain; ++y) {
                int k = 0;
                for_row(y, [&](Run& r) {
                    if (r.label != i) return;
                    ++k;
                    if (!(len(r) < c.height / 3)) plain = false;
                });
                if (k != 1) plain = false;
            }
            if (plain) ++strokes;
        });
        if (3 * strokes >= 2 * a_.n_components) return fail();
    }

    // Giant, pole-like and blocky blobs.
    auto ink = [&](int x, int y) { return pixel_is_ink(a_, x, y) != 0; };
    for (int i = 0; i < a_.n_table && a_.n_components >= 2; ++i) {
        if (!present(comp(i))) continue;
        const Component& c = comp(i);
        const int w = c.width, h = c.height;
        if (h >= 101 || 2 * w > W_) {
            erase_component(a_, i);
            continue;
        }
        if (h > 3 * w) {
            if (h > 4 * w && w > std::min(H_ / 3, 20))
                erase_component(a_, i);
            else if (!(h < H_ - 5))
                erase_component(a_, i);
            continue;
        }
        int s = w > 2 * h ? h / 2 : (a_.n_components >= 5 ? 2 * h : h) / 3;
        s = std::max(s, 1);
        int square_rows = 0;
        for (int y = c.top; y < c.bottom - s && square_rows <= 6; ++y) {
            bool found = false;
            for (int x = c.left; x < c.right - s && !found; ++x) {
                bool full = true;
                for (int yy = y; yy < y + s && full; ++yy)
                    for (int xx = x; xx < x + s && full; ++xx) full = ink(xx, yy);
                found = full;
            }
            square_rows += found ? 1 : 0;
        }
        if (square_rows > 6) erase_component(a_, i);
    }

    // The row stands when two blobs or more are left.
    if (a_.n_components >= 2) return 1;
    return fail();
}

// Mode 0 end: at least two different labels left.
int BlobAnalysis::mode0_end() {
    int first = -1;
    bool two = false;
    for_runs([&](Run& r) {
        if (r.label < 0) return;
        if (first < 0)
            first = r.label;
        else if (r.label != first)
            two = true;
    });
    if (two) return 1;
    return fail();
}

int BlobAnalysis::run() {
    a_.n_components = 0;
    if (a_.objectbitmap == nullptr || W_ < 1 || H_ < 1) return 0;
    thin_strokes();
    if (!label_bitmap(a_, 0, 0, W_ - 1, H_ - 1)) return fail();
    erase_edge_rows();
    if (mode_ == 0) split_side_blobs();
    if (!build_component_table(a_)) return fail();
    filter_components(a_, mode_);
    if (a_.n_components == 0) return fail();
    if (!short_runs(false)) return fail();

    if (mode_ == 0 && 2 * W_ >= 3 * H_ && W_ <= 3 * H_) {
        int y0 = INT_MAX, y1 = INT_MIN;
        for_runs([&](Run& r) {
            if (r.label < 0) return;
            y0 = std::min(y0, r.row);
            y1 = std::max(y1, r.row);
        });
        if (y1 >= y0 && y1 - y0 + 1 >= 16 && !frame_glue()) return fail();
    }

    // Relabel after the cuts and apply the mode's filter once more.
    if (a_.n_components == 0) return fail();
    if (mode_ == 1 && a_.n_components == 1) return fail();
    if (!relabel(a_)) return fail();
    if (mode_ == 0) {
        filter_components(a_, 0);
        if (a_.n_components == 0) return fail();
    } else if (a_.n_components < 2) {
        return fail();
    }

    // Per-component values are read from the table and the runs.
    height_filter();
    if (a_.n_components == 0) return fail();
    narrow_end_blobs();
    if (a_.n_components == 0) return fail();
    if (mode_ == 1 && !first_pair()) return fail();
    shape_classes();
    if (a_.n_components == 0) return fail();
    if (mode_ == 1) return character_row();
    return mode0_end();
}

}  // namespace

int analyze_blobs(AnalysisInstance& a, int mode) {
    int result = 0;
    {
        BlobAnalysis blobs(a, mode);
        result = blobs.run();
    }
    free_runs(a);
    if (result == 0) a.n_components = 0;
    return result;
}

}  // namespace rk
