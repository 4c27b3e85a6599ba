#include "reader.h"

#include <algorithm>

namespace platenet {

Status Reader::from_network(std::unique_ptr<Network> net, std::unique_ptr<Reader>* out) {
    auto r = std::make_unique<Reader>();
    r->net_ = std::move(net);
    *out = std::move(r);
    return Status::ok;
}

Status Reader::load(const std::uint8_t* bytes, std::size_t size, std::unique_ptr<Reader>* out) {
    ModelFile file;
    if (const Status s = decode_model(bytes, size, &file); s != Status::ok) return s;
    std::unique_ptr<Network> net;
    if (const Status s = Network::create(file, &net); s != Status::ok) return s;
    return from_network(std::move(net), out);
}

Status Reader::load_file(const std::string& path, std::unique_ptr<Reader>* out) {
    ModelFile file;
    if (const Status s = load_model_file(path, &file); s != Status::ok) return s;
    std::unique_ptr<Network> net;
    if (const Status s = Network::create(file, &net); s != Status::ok) return s;
    return from_network(std::move(net), out);
}

Status Reader::read(const GrayView& page, int left, int top, int right, int bottom, const std::string& syntaxes,
                    int topn, std::vector<Candidate>* out) const {
    out->clear();
    if (page.pixels == nullptr || page.width <= 0 || page.height <= 0 || page.stride < page.width)
        return Status::bad_argument;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, page.width);
    bottom = std::min(bottom, page.height);
    if (right <= left || bottom <= top || topn < 1) return Status::bad_argument;
    std::vector<std::string> syn;
    if (!parse_syntaxes(syntaxes, &syn)) return Status::bad_argument;
    const auto& a = arch();
    std::vector<float> input(static_cast<std::size_t>(a.input_height) * static_cast<std::size_t>(a.input_width));
    crop_input(page, field_crop(left, top, right, bottom), a.input_height, a.input_width, input.data());
    const auto frames = net_->run(input.data(), 1);
    *out = decode(frames[0], a.charset, topn, syn);
    return Status::ok;
}

}  // namespace platenet
