// The network through the C interface: a saved model reads as the network it came from (an
// untrained one is unsure, so its readings are pooled), and bad calls are refused.
#include <gtest/gtest.h>

#include "model/network.h"
#include "plate_drawing.h"
#include "platenet.h"
#include "reader.h"

using namespace platenet;

namespace {

// The model file's bytes of a freshly initialised network, and the network.
std::vector<std::uint8_t> fresh_model_bytes(std::unique_ptr<Network>* net = nullptr) {
    ModelFile m;
    m.arch.widths = {8, 8, 16, 16, 16, 32}, m.arch.charset = "0123456789ABCO";
    std::unique_ptr<Network> made;
    EXPECT_EQ(Network::create(m, &made), Status::ok);
    m.parameters = made->parameters();
    EXPECT_EQ(m.parameters.size(), expected_parameters(m.arch));
    if (net) *net = std::move(made);
    return encode_model(m);
}

}  // namespace

TEST(NetworkRoundTrip, SavedModelReadsIdentically) {
    std::unique_ptr<Network> net;
    const std::vector<std::uint8_t> bytes = fresh_model_bytes(&net);
    std::unique_ptr<Reader> direct;
    ASSERT_EQ(Reader::from_network(std::move(net), &direct), Status::ok);
    pnet_model* loaded = PNET_load_model_bytes(bytes.data(), bytes.size(), nullptr);
    ASSERT_NE(loaded, nullptr);
    int box[4];
    const auto page = pntest::draw_plate("AB123", 3, 20, 15, 160, 50, 3, box);
    std::vector<Candidate> want;
    ASSERT_EQ(direct->read({page.pixels.data(), page.width, page.height, page.width}, box[0], box[1], box[2], box[3],
                           "", 5, &want), Status::ok);
    pnet_reading got;
    ASSERT_EQ(PNET_read_region(loaded, page.pixels.data(), page.width, page.height, page.width, box[0], box[1],
                               box[2], box[3], nullptr, 5, &got), PNET_OK);
    ASSERT_TRUE(got.count > 0 && got.count == static_cast<int>(want.size()));
    for (int i = 0; i < got.count; ++i) {
        EXPECT_EQ(std::string(got.candidates[i].text), want[static_cast<std::size_t>(i)].text);
        EXPECT_FLOAT_EQ(got.candidates[i].confidence, static_cast<float>(want[static_cast<std::size_t>(i)].probability));
        EXPECT_TRUE(got.candidates[i].confidence >= 0.0f && got.candidates[i].confidence <= 1.0f);
    }
    PNET_free_model(loaded);
}

TEST(NetworkRefuses, BadCalls) {
    const std::vector<std::uint8_t> bytes = fresh_model_bytes();
    pnet_model* m = PNET_load_model_bytes(bytes.data(), bytes.size(), nullptr);
    ASSERT_NE(m, nullptr);
    std::vector<std::uint8_t> page(64 * 32, 200);
    const std::uint8_t* p = page.data();
    pnet_reading r;
    r.count = 99;
    // An empty region, one outside the page, no pixels, a short stride, a bad syntax, topn out of range, no model.
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 10, 10, 10, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 70, 0, 90, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, nullptr, 64, 32, 64, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 32, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 0, 0, 20, 20, "LLX", 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 0, 0, 20, 20, nullptr, 0, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 0, 0, 20, 20, nullptr, PNET_MAX_CANDIDATES + 1, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(nullptr, p, 64, 32, 64, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, 0, 0, 20, 20, "LLDDD", 3, nullptr), PNET_BAD_ARGUMENT);
    // A region partly outside is clipped, not refused.
    EXPECT_EQ(PNET_read_region(m, p, 64, 32, 64, -5, -5, 30, 40, "LLDDD", 3, &r), PNET_OK);
    PNET_free_model(m);
}
