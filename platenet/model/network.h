// The network of a model, behind a torch-free interface so that only the
// few files that build or train it compile against libtorch.
//
// Shape: five 3x3 convolution blocks (batch norm, ReLU), max-pooled 2x2
// after the first two and 2x1 after the fourth, so an input of H x W
// leaves H/8 rows of W/4 columns; the rows are stacked into the features of
// each column, a 1-D convolution of kernel 3 over the columns (ReLU) and a
// 1x1 one give per column (frame) the log-probabilities of "no character"
// and of every character of the set.
#pragma once

#include <memory>
#include <vector>

#include "decode/ctc_decode.h"
#include "model/model_file.h"
#include "status.h"

namespace platenet {

class Network {
public:
    // A network of `file.arch`, with the file's parameters, or freshly
    // initialised from torch's generator when `file.parameters` is empty.
    // bad_parameters when the count does not fit, no_memory, internal.
    static Status create(const ModelFile& file, std::unique_ptr<Network>* out);
    ~Network();

    const Architecture& arch() const;
    int frames() const;  // input_width / 4
    // Reads `n` inputs of input_height x input_width floats each
    // (row-major, one after another) in inference mode.
    std::vector<FrameScores> run(const float* inputs, int n) const;
    // The parameters in file order.
    std::vector<float> parameters() const;

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    explicit Network(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Pins libtorch to one intra-op thread (once per process).
void use_one_thread();

}  // namespace platenet
