#include "model/network_torch.h"

#include <mutex>
#include <new>

namespace platenet {

PlateNetImpl::PlateNetImpl(const Architecture& a) {
    int in = 1;
    for (int i = 0; i < 5; ++i) {
        const int w = a.widths[static_cast<std::size_t>(i)];
        convs.push_back(register_module("conv" + std::to_string(i),
                                        torch::nn::Conv2d(torch::nn::Conv2dOptions(in, w, 3).padding(1).bias(false))));
        norms.push_back(register_module("norm" + std::to_string(i), torch::nn::BatchNorm2d(w)));
        in = w;
    }
    const int features = in * (a.input_height / 8);
    const int hidden = a.widths[5];
    const int classes = static_cast<int>(a.charset.size()) + 1;
    head = register_module("head", torch::nn::Conv1d(torch::nn::Conv1dOptions(features, hidden, 3).padding(1)));
    out = register_module("out", torch::nn::Conv1d(torch::nn::Conv1dOptions(hidden, classes, 1)));
}

torch::Tensor PlateNetImpl::forward(torch::Tensor x) {
    for (std::size_t i = 0; i < convs.size(); ++i) {
        x = torch::relu(norms[i]->forward(convs[i]->forward(x)));
        if (i == 0 || i == 1) x = torch::max_pool2d(x, {2, 2});
        if (i == 3) x = torch::max_pool2d(x, {2, 1});
    }
    const auto n = x.size(0), c = x.size(1), h = x.size(2), w = x.size(3);
    x = x.reshape({n, c * h, w});
    x = torch::relu(head->forward(x));
    x = out->forward(x);  // N x classes x T
    return torch::log_softmax(x.transpose(1, 2), 2);
}

std::vector<torch::Tensor> PlateNetImpl::file_tensors() {
    std::vector<torch::Tensor> t;
    for (std::size_t i = 0; i < convs.size(); ++i) {
        t.push_back(convs[i]->weight);
        t.push_back(norms[i]->weight);
        t.push_back(norms[i]->bias);
        t.push_back(norms[i]->running_mean);
        t.push_back(norms[i]->running_var);
    }
    t.push_back(head->weight);
    t.push_back(head->bias);
    t.push_back(out->weight);
    t.push_back(out->bias);
    return t;
}

bool assign_parameters(PlateNet& net, const std::vector<float>& values) {
    torch::NoGradGuard no_grad;
    auto tensors = net->file_tensors();
    std::size_t total = 0;
    for (auto& t : tensors) total += static_cast<std::size_t>(t.numel());
    if (total != values.size()) return false;
    std::size_t at = 0;
    for (auto& t : tensors) {
        const auto n = static_cast<std::size_t>(t.numel());
        auto src = torch::from_blob(const_cast<float*>(values.data() + at), {static_cast<long>(n)}, torch::kFloat32);
        t.view({-1}).copy_(src);
        at += n;
    }
    return true;
}

std::vector<float> flatten_parameters(PlateNet& net) {
    torch::NoGradGuard no_grad;
    std::vector<float> values;
    for (auto& t : net->file_tensors()) {
        auto c = t.detach().contiguous().view({-1});
        const float* p = c.data_ptr<float>();
        values.insert(values.end(), p, p + c.numel());
    }
    return values;
}

void use_one_thread() {
    static std::once_flag once;
    std::call_once(once, [] {
        torch::set_num_threads(1);
        try {
            torch::set_num_interop_threads(1);
        } catch (...) {
            // Already fixed by an earlier parallel call; intra-op is what matters.
        }
    });
}

Network::Network(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Network::~Network() = default;

Status Network::create(const ModelFile& file, std::unique_ptr<Network>* out) {
    if (check_architecture(file.arch) != Status::ok) return Status::bad_header;
    try {
        use_one_thread();
        auto impl = std::make_unique<Impl>();
        impl->arch = file.arch;
        impl->net = PlateNet(file.arch);
        if (!file.parameters.empty() && !assign_parameters(impl->net, file.parameters)) return Status::bad_parameters;
        impl->net->eval();
        out->reset(new Network(std::move(impl)));
        return Status::ok;
    } catch (const std::bad_alloc&) {
        return Status::no_memory;
    } catch (...) {
        return Status::internal;
    }
}

const Architecture& Network::arch() const { return impl_->arch; }
int Network::frames() const { return impl_->arch.input_width / 4; }

std::vector<FrameScores> Network::run(const float* inputs, int n) const {
    torch::NoGradGuard no_grad;
    const auto& a = impl_->arch;
    auto x = torch::from_blob(const_cast<float*>(inputs), {n, 1, a.input_height, a.input_width}, torch::kFloat32);
    impl_->net->eval();
    auto y = impl_->net->forward(x).contiguous();
    std::vector<FrameScores> out(static_cast<std::size_t>(n));
    const float* p = y.data_ptr<float>();
    const int frames = static_cast<int>(y.size(1)), classes = static_cast<int>(y.size(2));
    const std::size_t each = static_cast<std::size_t>(frames) * static_cast<std::size_t>(classes);
    for (int i = 0; i < n; ++i) {
        auto& f = out[static_cast<std::size_t>(i)];
        f.frames = frames;
        f.classes = classes;
        f.log_probs.assign(p + each * static_cast<std::size_t>(i), p + each * static_cast<std::size_t>(i + 1));
    }
    return out;
}

std::vector<float> Network::parameters() const { return flatten_parameters(impl_->net); }

}  // namespace platenet
