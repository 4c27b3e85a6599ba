#include "window_pass.h"

#include <algorithm>
#include <new>

#include "coords.h"
#include "net_reading.h"
#include "rasterkit.h"

namespace platix {

namespace {

// True when the centre of `inner` lies within `outer` (inclusive boxes).
bool holds_centre(const Box& outer, const Box& inner) {
    return centre_inside(inner, outer.left, outer.top, outer.right - outer.left + 1, outer.bottom - outer.top + 1);
}

}  // namespace

std::vector<Box> page_windows(int width, int height) {
    std::vector<Box> out;
    const int w = width / 2, h = height / 2;
    if (w < kMinWindowSide || h < kMinWindowSide) return out;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const int left = i * (width - w) / 2, top = j * (height - h) / 2;
            out.push_back({left, top, left + w - 1, top + h - 1});
        }
    return out;
}

Box window_to_page(const Box& b, const Box& window, int xscale, int yscale) {
    // The window is a file of its own to the page it was held as.
    const Box in = page_to_file(b, xscale, yscale, window.right - window.left + 1, window.bottom - window.top + 1);
    return {window.left + in.left, window.top + in.top, window.left + in.right, window.top + in.bottom};
}

bool plate_like(const FieldResult& f, bool with_region) {
    if (f.text.empty()) return false;
    return with_region ? !f.syntax.empty() : f.confidence_ppm >= kPlateLikePpm;
}

bool wants_windows(const ImageResult& r, bool with_region) {
    return std::none_of(r.fields.begin(), r.fields.end(), [&](const FieldResult& f) {
        return plate_like(f, with_region) && f.confidence_ppm >= kPlateLikePpm;
    });
}

void merge_window_field(std::vector<FieldResult>& fields, FieldResult f, bool with_region) {
    if (!plate_like(f, with_region)) return;
    const auto same = std::find_if(fields.begin(), fields.end(), [&](const FieldResult& e) {
        return holds_centre(e.page_box, f.page_box) || holds_centre(f.page_box, e.page_box);
    });
    if (same == fields.end())
        fields.push_back(std::move(f));
    else if (!plate_like(*same, with_region) || f.confidence_ppm > same->confidence_ppm)
        *same = std::move(f);
}

bool read_windows_net(ImageResult& r, const AnalysisRequest& request) {
    if (request.model == nullptr || videobuffer == nullptr) return true;
    const int width = MAXCOL, height = MAXLIN, stride = BPL, xscale = XSCALE, yscale = YSCALE;
    const bool with_region = request.recognition.region != Region::none;
    if (!wants_windows(r, with_region)) return true;
    const auto windows = page_windows(width, height);
    if (windows.empty()) return true;
    std::vector<unsigned char> page;
    try {
        page.assign(videobuffer, videobuffer + static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    bool ok = true;
    for (const Box& w : windows) {
        SEG_clear_analysis_results();
        // The window is read out of the copy with the page's stride and held as a page of its own.
        const unsigned char* corner = page.data() + static_cast<std::size_t>(w.top) * stride + w.left;
        if (SEG_open_gray_page(corner, w.right - w.left + 1, w.bottom - w.top + 1, stride) != 1 || videobuffer == nullptr) {
            ok = false;
            break;
        }
        SEG_set_analysis_mode(analysis_mode_of(request.analysis));
        SEG_analyze_image(request.depth);
        for (seg_result* s = results; s != nullptr; s = s->next) {
            FieldResult f;
            f.page_box = {s->left, s->top, s->right, s->bottom};
            read_field_net(request.model, videobuffer, MAXCOL, MAXLIN, BPL, request.recognition, f);
            if (f.text.empty()) continue;
            f.page_box = window_to_page(f.page_box, w, XSCALE, YSCALE);
            f.file_box = page_to_file(f.page_box, r.xscale, r.yscale, r.width, r.height);
            for (auto& c : f.chars) c.page_box = f.page_box, c.file_box = f.file_box;
            f.columns = s->columns;
            f.lines = s->lines;
            f.bpl = s->bpl;
            merge_window_field(r.fields, std::move(f), with_region);
        }
    }
    SEG_clear_analysis_results();
    // The page held again as the caller left it.
    if (SEG_open_gray_page(page.data(), width, height, stride) != 1) return false;
    XSCALE = xscale;
    YSCALE = yscale;
    return ok;
}

}  // namespace platix
