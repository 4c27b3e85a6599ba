// A loaded model and the reading of one page region with it: crop,
// network, decoding.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "crop/crop.h"
#include "decode/ctc_decode.h"
#include "model/network.h"

namespace platenet {

class Reader {
public:
    // From the bytes of a model file; the status names why it was refused.
    static Status load(const std::uint8_t* bytes, std::size_t size, std::unique_ptr<Reader>* out);
    static Status load_file(const std::string& path, std::unique_ptr<Reader>* out);
    static Status from_network(std::unique_ptr<Network> net, std::unique_ptr<Reader>* out);

    const Architecture& arch() const { return net_->arch(); }

    // Reads the page rectangle left..right-1 x top..bottom-1 (widened by
    // field_crop, clipped to the page) into at most `topn` candidates.
    // bad_argument for an empty page, an empty or outside rectangle or a
    // bad syntax list.
    Status read(const GrayView& page, int left, int top, int right, int bottom, const std::string& syntaxes,
                int topn, std::vector<Candidate>* out) const;

    // The frame scores of prepared inputs (see crop_input), n at a time.
    std::vector<FrameScores> scores(const float* inputs, int n) const { return net_->run(inputs, n); }

private:
    std::unique_ptr<Network> net_;
};

}  // namespace platenet
