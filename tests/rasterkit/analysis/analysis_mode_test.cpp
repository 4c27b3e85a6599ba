// The analysis modes: setting and refusing one, a small plate only the extended finds, the basic fields kept unchanged.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "driver_switches.h"
#include "rasterkit.h"

namespace {

using Box = std::array<int, 4>;  // left, top, right, bottom

// 5 x 7 block glyphs ('#' = ink) of the characters the pages use.
const char* glyph(char c) {
    switch (c) {
        case 'A': return " ### #   ##   #######   ##   ##   #";  case 'B': return "#### #   ##   ##### #   ##   ##### ";
        case 'K': return "#   ##  # # #  ##   # #  #  #  #   #"; case 'M': return "#   ### # ## # ##   ##   ##   ##   #";
        case '1': return "  #   ##    #    #    #    #   ### ";  case '2': return " ### #   #    #   #   #   #   #####";
        case '3': return "####     #    #  ##     #    #### ";   case '4': return "#   ##   ##   ######    #    #    #";
        case '7': return "#####    #   #   #   #    #    #   ";
        default: return nullptr;
    }
}

class AnalysisModes : public ::testing::Test {
protected:
    static constexpr int kW = 1280, kH = 720;
    std::vector<unsigned char> page = std::vector<unsigned char>(static_cast<std::size_t>(kW) * kH);

    // A vertical gradient with a few darker and lighter boxes.
    void SetUp() override {
        rk::set_worker_plan(rk::WorkerPlan::never);
        for (int y = 0; y < kH; ++y) fill(0, y, kW, y + 1, static_cast<unsigned char>(90 + 80 * y / (kH - 1)));
        std::uint32_t s = 7;
        auto next = [&s](int n) { return static_cast<int>(((s = s * 1103515245u + 12345u) >> 16) % unsigned(n)); };
        for (int k = 0; k < 12; ++k) {
            const int x = next(kW - 120), y = next(kH - 60);
            fill(x, y, x + 100, y + 30, static_cast<unsigned char>(40 + next(170)));
        }
        ::videobuffer = page.data();
        ::MAXCOL = ::BPL = kW, ::MAXLIN = kH;
    }
    void TearDown() override {
        SEG_set_analysis_mode(0);
        rk::set_worker_plan(rk::WorkerPlan::automatic);
        SEG_clear_analysis_results();
        ::videobuffer = nullptr;
    }
    void fill(int x0, int y0, int x1, int y1, unsigned char v) {
        for (int y = y0; y < y1 && y < kH; ++y)
            for (int x = x0; x < x1 && x < kW; ++x) page[static_cast<std::size_t>(y) * kW + x] = v;
    }
    // A light plate with a dark border and block characters 7 x cell high; its rectangle.
    Box plate(int left, int top, const std::string& text, int cell) {
        const int w = static_cast<int>(text.size()) * 6 * cell + 4 * cell, h = 11 * cell;
        fill(left - 2, top - 2, left + w + 2, top + h + 2, 30);
        fill(left, top, left + w, top + h, 235);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const int x0 = left + 2 * cell + static_cast<int>(i) * 6 * cell, y0 = top + 2 * cell;
            for (int k = 0; k < 35 && glyph(text[i]) != nullptr; ++k)
                if (glyph(text[i])[k] == '#')
                    fill(x0 + k % 5 * cell, y0 + k / 5 * cell, x0 + (k % 5 + 1) * cell, y0 + (k / 5 + 1) * cell, 20);
        }
        return {left - 2, top - 2, left + w + 1, top + h + 1};
    }
    void blur() {
        const std::vector<unsigned char> o = page;
        for (int y = 1; y < kH - 1; ++y)
            for (int x = 1; x < kW - 1; ++x) {
                int sum = 0;
                for (int d = 0; d < 9; ++d) sum += o[static_cast<std::size_t>(y + d / 3 - 1) * kW + x + d % 3 - 1];
                page[static_cast<std::size_t>(y) * kW + x] = static_cast<unsigned char>(sum / 9);
            }
    }
    // The fields of an analysis at `depth` in `mode`: rectangle, sizes and bitmap bytes.
    std::vector<std::vector<int>> fields(int mode, int depth) {
        SEG_clear_analysis_results();
        SEG_set_analysis_mode(mode);
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        std::vector<std::vector<int>> out;
        for (const seg_result* r = results; r != nullptr; r = r->next) {
            out.push_back({r->left, r->top, r->right, r->bottom, r->columns, r->lines});
            out.back().insert(out.back().end(), r->bitmap, r->bitmap + r->lines * r->bpl);
        }
        return out;
    }
    static bool holds_centre(const Box& p, const std::vector<int>& f) {
        const int cx = (f[0] + f[2]) / 2, cy = (f[1] + f[3]) / 2;
        return cx >= p[0] && cx <= p[2] && cy >= p[1] && cy <= p[3];
    }
};

TEST_F(AnalysisModes, ModeRoundTripsAndUnknownModesAreRefused) {
    // Each call gives the mode before it: the default 0, then refusals (-1) that change nothing.
    const std::pair<int, int> calls[] = {{1, 0}, {1, 1}, {2, -1}, {-1, -1}, {0, 1}, {0, 0}};
    for (const auto& [mode, before] : calls) EXPECT_EQ(SEG_set_analysis_mode(mode), before) << mode;
}

// Characters 14 pixels high, blurred: too low for the basic enlargement rule.
TEST_F(AnalysisModes, SmallPlateIsFoundOnlyByTheExtendedAnalysisAndNoPlateByNeither) {
    const std::vector<unsigned char> clean = page;
    blur();
    for (int mode : {0, 1}) EXPECT_TRUE(fields(mode, 3).empty()) << "mode " << mode;
    page = clean;
    const Box p = plate(600, 420, "AB 123", 2);
    blur();
    for (const auto& f : fields(0, 1)) EXPECT_FALSE(holds_centre(p, f));
    const auto extended = fields(1, 1);
    ASSERT_EQ(extended.size(), 1u);
    EXPECT_TRUE(holds_centre(p, extended[0]));
}

// A knowledge base taught on one mode must see the same characters in the other.
TEST_F(AnalysisModes, FieldsTheBasicAnalysisFindsAreKeptBitForBit) {
    plate(250, 560, "KM 4723", 3);
    for (int depth : {1, 3}) {
        const auto basic = fields(0, depth);
        EXPECT_EQ(basic.size(), 1u) << "depth " << depth;
        EXPECT_EQ(fields(1, depth), basic) << "depth " << depth;
    }
}

}  // namespace
