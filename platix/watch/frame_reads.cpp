// A frame as the library's page, read into tracker reads.
#include "watch/frame_reads.h"

#include "rasterkit.h"

namespace platix::watch {

bool read_frame(const GrayFrame& frame, double t, long frame_number, double wall, const AnalysisRequest& request,
                std::vector<PlateRead>& reads, ImageResult& result, std::vector<std::uint8_t>* page) {
    SEG_clear_analysis_results();
    if (SEG_open_gray_page(frame.pixels.data(), frame.width, frame.height, frame.width) != 1 || videobuffer == nullptr) {
        SEG_close_image();
        return false;
    }
    result = ImageResult{};
    result.width = frame.width;
    result.height = frame.height;
    result.maxcol = MAXCOL;
    result.maxlin = MAXLIN;
    result.xscale = XSCALE;
    result.yscale = YSCALE;
    analyse_held_page(result, request);
    for (const auto& f : result.fields) {
        if (f.text.empty()) continue;
        PlateRead pr;
        pr.t = t;
        pr.wall = wall;
        pr.frame = frame_number;
        pr.text = f.text;
        pr.box = f.file_box;
        // The learned reader's confidence weighs the read in the vote.
        if (f.reader == "net" && f.confidence_ppm >= 0) {
            pr.confidence = f.confidence_ppm / 1e6;
            for (const auto& c : f.candidates) pr.alternatives.push_back({c.text, c.confidence_ppm / 1e6});
        }
        reads.push_back(std::move(pr));
    }
    if (page != nullptr)
        page->assign(videobuffer, videobuffer + static_cast<std::size_t>(MAXCOL) * static_cast<std::size_t>(MAXLIN));
    SEG_clear_analysis_results();
    SEG_close_image();
    return true;
}

}  // namespace platix::watch
