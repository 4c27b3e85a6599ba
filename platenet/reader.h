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

    // Reads the page rectangle left..right-1 x top..bottom-1 (clipped to the
    // page, narrowed by keep_character_rows when plate-shaped, widened by
    // field_crop) into at most `topn` candidates.
    // When the best candidate's probability is under `pool_below`, the
    // rectangle is read again from nudged crops (nudged_crops) and the
    // readings are pooled (pool_readings): 0 never pools, above 1 always.
    // bad_argument for an empty page, an empty or outside rectangle or a
    // bad syntax list.
    Status read(const GrayView& page, int left, int top, int right, int bottom, const std::string& syntaxes,
                int topn, std::vector<Candidate>* out, double pool_below = kPoolBelow) const;

    // A reading less sure than this is pooled over nudged crops. On the
    // held-out photographs of a 5-fold cross-validation, pooling every
    // reading and pooling only those under 0.9 or 0.5 read the same plates
    // exactly; under 0.9 leaves most clear plates to one network run.
    static constexpr double kPoolBelow = 0.9;

    // The frame scores of prepared inputs (see crop_input), n at a time.
    std::vector<FrameScores> scores(const float* inputs, int n) const { return net_->run(inputs, n); }

private:
    std::unique_ptr<Network> net_;
};

// The crops of one rectangle that an unsure reading is pooled over: its
// field_crop first, then the same made wider, narrower, taller and shorter
// (left and right edges moved by 0.15 of the rectangle's height, top and
// bottom by 0.08), so that a character the network half sees at an edge or
// a stroke cut by the border is seen whole in some of them.
std::vector<RectF> nudged_crops(int left, int top, int right, int bottom);

// Pools the candidate lists of several readings of one plate: a text's
// probability is its mean over the readings (0 in a reading that does not
// list it), it fits the syntaxes when it did in any reading, and its
// character confidences are those of the reading that gave it most. Best
// first as rank_candidates orders them (texts that fit a syntax first
// unless far less probable), at most topn.
std::vector<Candidate> pool_readings(const std::vector<std::vector<Candidate>>& readings, int topn);

}  // namespace platenet
