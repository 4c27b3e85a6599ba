// One analysed video frame: the gray frame handed to the library as its
// page, analysed and read, and the plates read turned into tracker reads.
#pragma once

#include <cstdint>
#include <vector>

#include "image_analysis.h"
#include "watch/source.h"
#include "watch/tracker.h"

namespace platix::watch {

// Analyses `frame` with `request` (no annotation) and appends a read per
// field with text to `reads`, stamped with stream time `t`, `frame_number`
// and wall time `wall`; the learned reader's confidence and candidates go
// with each read. `result` receives the whole reading; with `page` non-null
// it receives a copy of the page as analysed (for pictures). False, and
// nothing read, when the page cannot be opened (out of memory).
bool read_frame(const GrayFrame& frame, double t, long frame_number, double wall, const AnalysisRequest& request,
                std::vector<PlateRead>& reads, ImageResult& result, std::vector<std::uint8_t>* page = nullptr);

}  // namespace platix::watch
