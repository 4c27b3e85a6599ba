// The analysis modes: setting and refusing a mode, a small plate only the
// extended analysis finds, and fields the basic one finds kept unchanged.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver_switches.h"
#include "rasterkit.h"

namespace {

// 5 x 7 block glyphs ('#' = ink) of the characters the pages use.
const char* glyph(char c) {
    switch (c) {
        case 'A': return " ### #   ##   #######   ##   ##   #";
        case 'B': return "#### #   ##   ##### #   ##   ##### ";
        case 'K': return "#   ##  # # #  ##   # #  #  #  #   #";
        case 'M': return "#   ### # ## # ##   ##   ##   ##   #";
        case '1': return "  #   ##    #    #    #    #   ### ";
        case '2': return " ### #   #    #   #   #   #   #####";
        case '3': return "####     #    #  ##     #    #### ";
        case '4': return "#   ##   ##   ######    #    #    #";
        case '7': return "#####    #   #   #   #    #    #   ";
        default: return nullptr;
    }
}

class AnalysisModes : public ::testing::Test {
protected:
    static constexpr int kW = 1280, kH = 720;
    std::vector<unsigned char> page;

    void SetUp() override {
        rk::set_worker_plan(rk::WorkerPlan::never);
        page.assign(static_cast<std::size_t>(kW) * kH, 0);
        // A vertical gradient with a few darker and lighter boxes.
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) px(x, y) = static_cast<unsigned char>(90 + 80 * y / (kH - 1));
        std::uint32_t s = 7;
        auto next = [&s](int n) {
            s = s * 1103515245u + 12345u;
            return static_cast<int>((s >> 16) % static_cast<std::uint32_t>(n));
        };
        for (int k = 0; k < 12; ++k) {
            const int x = next(kW - 120), y = next(kH - 60), v = 40 + next(170);
            fill(x, y, x + 100, y + 30, static_cast<unsigned char>(v));
        }
        ::videobuffer = page.data();
        ::MAXCOL = kW;
        ::MAXLIN = kH;
        ::BPL = kW;
    }
    void TearDown() override {
        SEG_set_analysis_mode(0);
        rk::set_worker_plan(rk::WorkerPlan::automatic);
        SEG_clear_analysis_results();
        ::videobuffer = nullptr;
    }
    unsigned char& px(int x, int y) { return page[static_cast<std::size_t>(y) * kW + x]; }
    void fill(int x0, int y0, int x1, int y1, unsigned char v) {
        for (int y = y0; y < y1 && y < kH; ++y)
            for (int x = x0; x < x1 && x < kW; ++x) px(x, y) = v;
    }
    // A light plate with a dark border and block characters 7 x cell high; its rectangle.
    struct Box {
        int left, top, right, bottom;
    };
    Box plate(int left, int top, const std::string& text, int cell) {
        const int n = static_cast<int>(text.size());
        const int w = n * 6 * cell + 4 * cell, h = 7 * cell + 4 * cell;
        fill(left - 2, top - 2, left + w + 2, top + h + 2, 30);
        fill(left, top, left + w, top + h, 235);
        for (int i = 0; i < n; ++i) {
            const char* g = glyph(text[i]);
            if (g == nullptr) continue;
            const int x0 = left + 2 * cell + i * 6 * cell, y0 = top + 2 * cell;
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 5; ++c)
                    if (g[r * 5 + c] == '#')
                        fill(x0 + c * cell, y0 + r * cell, x0 + (c + 1) * cell, y0 + (r + 1) * cell, 20);
        }
        return {left - 2, top - 2, left + w + 1, top + h + 1};
    }
    void blur() {
        std::vector<unsigned char> o = page;
        for (int y = 1; y < kH - 1; ++y)
            for (int x = 1; x < kW - 1; ++x) {
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) sum += page[static_cast<std::size_t>(y + dy) * kW + x + dx];
                o[static_cast<std::size_t>(y) * kW + x] = static_cast<unsigned char>(sum / 9);
            }
        page = o;
        ::videobuffer = page.data();
    }
    // The fields of an analysis at `depth` in `mode`.
    std::vector<Box> fields(int mode, int depth) {
        SEG_clear_analysis_results();
        SEG_set_analysis_mode(mode);
        EXPECT_EQ(SEG_analyze_image(depth), 1);
        std::vector<Box> out;
        for (const seg_result* r = results; r != nullptr; r = r->next)
            out.push_back({r->left, r->top, r->right, r->bottom});
        return out;
    }
    static bool holds_centre(const Box& plate, const Box& f) {
        const int cx = (f.left + f.right) / 2, cy = (f.top + f.bottom) / 2;
        return cx >= plate.left && cx <= plate.right && cy >= plate.top && cy <= plate.bottom;
    }
};

TEST_F(AnalysisModes, ModeRoundTripsAndUnknownModesAreRefused) {
    EXPECT_EQ(SEG_set_analysis_mode(1), 0);  // the default is mode 0
    EXPECT_EQ(SEG_set_analysis_mode(1), 1);
    EXPECT_EQ(SEG_set_analysis_mode(2), -1);
    EXPECT_EQ(SEG_set_analysis_mode(-1), -1);
    EXPECT_EQ(SEG_set_analysis_mode(0), 1);  // the refusals changed nothing
    EXPECT_EQ(SEG_set_analysis_mode(0), 0);
}

// Characters 14 pixels high, blurred: too low for the basic enlargement rule.
TEST_F(AnalysisModes, SmallPlateIsFoundOnlyByTheExtendedAnalysis) {
    const Box p = plate(600, 420, "AB 123", 2);
    blur();
    const std::vector<Box> specified = fields(0, 1);
    for (const Box& b : specified) EXPECT_FALSE(holds_centre(p, b));
    const std::vector<Box> extended = fields(1, 1);
    ASSERT_EQ(extended.size(), 1u);
    EXPECT_TRUE(holds_centre(p, extended[0]));
}

TEST_F(AnalysisModes, PageWithoutPlateGivesNoFieldInEitherMode) {
    blur();
    for (int mode : {0, 1}) EXPECT_TRUE(fields(mode, 3).empty()) << "mode " << mode;
}

std::vector<std::vector<int>> snapshot() {
    std::vector<std::vector<int>> out;
    for (const seg_result* r = results; r != nullptr; r = r->next) {
        std::vector<int> v{r->left, r->top, r->right, r->bottom, r->columns, r->lines};
        v.insert(v.end(), r->bitmap, r->bitmap + r->lines * r->bpl);
        out.push_back(v);
    }
    return out;
}

// A knowledge base taught on one mode must see the same characters in the other.
TEST_F(AnalysisModes, FieldsTheDocumentedAnalysisFindsAreKeptBitForBit) {
    plate(250, 560, "KM 4723", 3);
    for (int depth : {1, 3}) {
        fields(0, depth);
        const std::vector<std::vector<int>> specified = snapshot();
        EXPECT_EQ(specified.size(), 1u) << "depth " << depth;
        fields(1, depth);
        EXPECT_EQ(snapshot(), specified) << "depth " << depth;
    }
}

}  // namespace
