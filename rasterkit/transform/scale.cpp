// Size normalisation of the held page.
#include "scale.h"

#include <algorithm>
#include <cstddef>

#include "rasterkit.h"
#include "zero_alloc.h"

namespace rk {
namespace {

constexpr int kMaxSide = 1600;  // longer side above this: reduce
constexpr int kMinBig = 550;    // longer side below this: enlarge
constexpr int kMinSmall = 320;  // shorter side below this: enlarge that way

unsigned char* g_scaled = nullptr;

int ceil_div(int a, int b) { return (a + b - 1) / b; }

}  // namespace

ScalePlan plan_scale(int w, int h) {
    ScalePlan plan;
    if (w < 1 || h < 1) return plan;
    int big = std::max(w, h);
    int small = std::min(w, h);
    if (big > kMaxSide) {
        int k = ceil_div(big, kMaxSide);
        plan.kind = ScalePlan::Kind::reduce;
        plan.factor_x = plan.factor_y = -k;
        plan.new_width = w / k;
        plan.new_height = h / k;
        return plan;
    }
    // 64-bit products: the sides are at most 1600 here, but keep the
    // comparisons exact whatever the caller passes.
    bool very_wide = std::int64_t{w} * 100 >= std::int64_t{266} * h;
    bool very_tall = std::int64_t{h} * 100 >= std::int64_t{266} * w;
    if (!very_wide && !very_tall && big >= kMinBig && small >= kMinSmall) return plan;

    int fx = 1, fy = 1;
    if (very_wide) {
        fy = w / h;
    } else if (very_tall) {
        fx = h / w;
    } else if (big >= kMinBig) {
        if (w < kMinSmall) fx = ceil_div(kMinSmall, w);
        if (h < kMinSmall) fy = ceil_div(kMinSmall, h);
    }
    int m = std::max({w * fx, h * fy, 1});
    if (m < kMinBig) {
        int g = ceil_div(kMinBig, m);
        fx *= g;
        fy *= g;
    }
    if (fx == 1 && fy == 1) return plan;
    plan.kind = ScalePlan::Kind::enlarge;
    plan.factor_x = fx;
    plan.factor_y = fy;
    plan.new_width = w * fx;
    plan.new_height = h * fy;
    return plan;
}

void reduce_pixels(const std::uint8_t* src, int width, int height, int stride, int k,
                   std::uint8_t* dst) {
    const int nw = width / k, nh = height / k;
    const int area = k * k;
    for (int y = 0; y < nh; ++y) {
        for (int x = 0; x < nw; ++x) {
            int sum = 0;
            for (int dy = 0; dy < k; ++dy) {
                const std::uint8_t* row =
                    src + static_cast<std::size_t>(y * k + dy) * stride + static_cast<std::size_t>(x) * k;
                for (int dx = 0; dx < k; ++dx) sum += row[dx];
            }
            dst[static_cast<std::size_t>(y) * nw + x] = static_cast<std::uint8_t>(sum / area);
        }
    }
}

void enlarge_pixels(const std::uint8_t* src, int width, int height, int stride, int fx, int fy,
                    std::uint8_t* line, std::uint8_t* dst) {
    const std::size_t nw = static_cast<std::size_t>(width) * fx;
    std::uint8_t* out = dst;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = src + static_cast<std::size_t>(y) * stride;
        std::size_t pos = 0;
        for (int x = 0; x < width; ++x) {
            const int v = s[x];
            for (int c = 0; c < fx; ++c, ++pos) {
                if (fx >= 2 && c < fx / 2 && pos > 0)
                    line[pos] = static_cast<std::uint8_t>((line[pos - 1] + v) >> 1);
                else
                    line[pos] = static_cast<std::uint8_t>(v);
            }
        }
        for (int c = 0; c < fy; ++c) {
            if (fy >= 2 && c < fy / 2 && y > 0) {
                const std::uint8_t* before = out - nw;
                for (std::size_t i = 0; i < nw; ++i)
                    out[i] = static_cast<std::uint8_t>((before[i] + line[i]) >> 1);
            } else {
                std::copy(line, line + nw, out);
            }
            out += nw;
        }
    }
}

unsigned char* scale_image() {
    if (videobuffer == nullptr || MAXLIN < 1 || MAXCOL < 1) return nullptr;
    XSCALE = YSCALE = 1;
    const ScalePlan plan = plan_scale(MAXCOL, MAXLIN);
    if (plan.kind == ScalePlan::Kind::keep) return nullptr;

    const std::size_t new_size = static_cast<std::size_t>(plan.new_width) * plan.new_height;
    orvo::ZeroPtr<std::uint8_t> page = orvo::make_zeroed<std::uint8_t>(new_size);
    if (!page) return nullptr;
    if (plan.kind == ScalePlan::Kind::reduce) {
        reduce_pixels(videobuffer, MAXCOL, MAXLIN, BPL, -plan.factor_x, page.get());
    } else {
        orvo::ZeroPtr<std::uint8_t> line = orvo::make_zeroed<std::uint8_t>(plan.new_width);
        if (!line) return nullptr;
        enlarge_pixels(videobuffer, MAXCOL, MAXLIN, BPL, plan.factor_x, plan.factor_y, line.get(),
                       page.get());
    }
    free_temp_scaled_image();
    MAXCOL = plan.new_width;
    MAXLIN = plan.new_height;
    BPL = MAXCOL;
    XSCALE = plan.factor_x;
    YSCALE = plan.factor_y;
    g_scaled = page.release();
    return g_scaled;
}

void free_temp_scaled_image() {
    orvo::zero_free(g_scaled);
    g_scaled = nullptr;
}

void forget_scaled_image() { g_scaled = nullptr; }

}  // namespace rk
