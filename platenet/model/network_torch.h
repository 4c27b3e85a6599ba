// The torch module behind Network; included only by the network and the
// trainer.
#pragma once

#include <torch/torch.h>

#include "model/network.h"

namespace platenet {

struct PlateNetImpl : torch::nn::Module {
    explicit PlateNetImpl(const Architecture& a);
    // x: N x 1 x H x W; returns N x T x classes log-probabilities.
    torch::Tensor forward(torch::Tensor x);
    // Every parameter and batch-norm statistic, in file order.
    std::vector<torch::Tensor> file_tensors();

    std::vector<torch::nn::Conv2d> convs;
    std::vector<torch::nn::BatchNorm2d> norms;
    torch::nn::Conv1d head{nullptr}, out{nullptr};
};
TORCH_MODULE(PlateNet);

struct Network::Impl {
    Architecture arch;
    PlateNet net{nullptr};
};

// Copies `values` into the tensors of `net` in file order; false when the
// count differs.
bool assign_parameters(PlateNet& net, const std::vector<float>& values);
std::vector<float> flatten_parameters(PlateNet& net);

}  // namespace platenet
