// Reading fields with the learned reader (platenet): the gray page around
// each field the analysis found, read into text, confidences and the top N
// candidates; with a region, decoding keeps to its plate syntaxes. The
// learned reader is an addition beyond the documented system: the box-net
// engine's reading is unchanged and stays selectable.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image_result.h"
#include "options.h"
#include "platenet.h"

namespace platix {

// A loaded model, freed with the object.
class NetModel {
public:
    // Loads `path`; throws UsageError "--model PATH: CAUSE" when the file
    // is refused (platix exits 2).
    explicit NetModel(const std::string& path);
    const pnet_model* get() const { return model_.get(); }

private:
    struct Free {
        void operator()(pnet_model* m) const { PNET_free_model(m); }
    };
    std::unique_ptr<pnet_model, Free> model_;
};

// The model a read or bench uses: --model; else, unless the box reader is
// chosen or knowledge bases are given (`kb_given`), the bundled model,
// announced once on stderr unless `quiet`; none for the box reader.
// Throws UsageError for --reader net without a model to be found.
std::unique_ptr<NetModel> model_for(const RecognitionSettings& settings, bool kb_given, bool quiet);

// The region's plate syntaxes as a comma-separated list ("" for none).
std::string syntax_list(Region region);

// A field the analysis cut short (a plate's characters split at a
// separator or a frame, its first or last character lost in the border) is
// read a second time, one field height wider on each side, when its reading
// fits none of the region's syntaxes (`constrained`: syntaxes were given);
// the wider reading is kept when it reads better: a reading that fits a
// syntax beats one that does not, otherwise the more probable best
// candidate wins.
bool wants_wider_reading(const pnet_reading& r, bool constrained);
bool reads_better(const pnet_reading& a, const pnet_reading& b);

// Reads the field at field.page_box of the page (8-bit gray, `stride`
// bytes per row) and fills its text, reader ("net"), confidence,
// characters with their confidences (their boxes are the field's), the
// syntax it fits (when a region was given) and its candidates; a doubtful
// reading is compared with a wider one (above). A failed reading leaves the
// field without text.
void read_field_net(const pnet_model* model, const unsigned char* page, int width, int height, int stride,
                    const RecognitionSettings& settings, FieldResult& field);

// Fields of one row lying close together, as the analysis finds a plate
// whose characters it could not keep in one piece: groups of indices into
// `boxes` (inclusive page boxes), each in list order, of at least two
// fields. Two fields join when their rows overlap by at least half the
// lower one's height, neither is more than 1.6 times as high as the other,
// and the gap between them is at most the higher one's height; groups
// join through shared members.
std::vector<std::vector<std::size_t>> row_groups(const std::vector<Box>& boxes);

// Reads each row group of `fields` (see row_groups) once more as one field
// over their union; where that reading is more confident than every
// piece's, the union replaces the pieces (at the first piece's place).
// `to_file` maps a page box to the file's pixels.
void read_row_groups_net(const pnet_model* model, const unsigned char* page, int width, int height, int stride,
                         const RecognitionSettings& settings, const std::function<Box(const Box&)>& to_file,
                         std::vector<FieldResult>& fields);

}  // namespace platix
