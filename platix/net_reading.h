// Reading fields with the learned reader (platenet): the gray page around
// each field the analysis found, read into text, confidences and the top N
// candidates; with a region, decoding keeps to its plate syntaxes. The
// learned reader is an addition beyond the documented system: the box-net
// engine's reading is unchanged and stays selectable.
#pragma once

#include <memory>
#include <string>

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

// The model a read or bench uses: --model, or none for the box reader.
// Throws UsageError for --reader net without a model.
std::unique_ptr<NetModel> model_for(const RecognitionSettings& settings);

// The region's plate syntaxes as a comma-separated list ("" for none).
std::string syntax_list(Region region);

// Reads the field at field.page_box of the page (8-bit gray, `stride`
// bytes per row) and fills its text, reader ("net"), confidence,
// characters with their confidences (their boxes are the field's), the
// syntax it fits (when a region was given) and its candidates. A failed
// reading leaves the field without text.
void read_field_net(const pnet_model* model, const unsigned char* page, int width, int height, int stride,
                    const RecognitionSettings& settings, FieldResult& field);

}  // namespace platix
