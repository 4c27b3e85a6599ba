// The network through the reader and the C interface: a saved model reads as the network it came from; bad calls are refused.
#include <gtest/gtest.h>

#include "model/network.h"
#include "plate_drawing.h"
#include "platenet.h"
#include "reader.h"

using namespace platenet;

namespace {

// A freshly initialised network and its model file's bytes.
std::unique_ptr<Network> fresh_network(std::vector<std::uint8_t>* bytes) {
    ModelFile m;
    m.arch.widths = {8, 8, 16, 16, 16, 32}, m.arch.charset = "0123456789ABCO";
    std::unique_ptr<Network> net;
    EXPECT_EQ(Network::create(m, &net), Status::ok);
    m.parameters = net->parameters();
    EXPECT_EQ(m.parameters.size(), expected_parameters(m.arch));
    *bytes = encode_model(m);
    return net;
}

}  // namespace

TEST(NetworkRoundTrip, SavedModelReadsIdentically) {
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<Reader> direct;
    ASSERT_EQ(Reader::from_network(fresh_network(&bytes), &direct), Status::ok);
    int status = -1;
    pnet_model* loaded = PNET_load_model_bytes(bytes.data(), bytes.size(), &status);
    ASSERT_NE(loaded, nullptr) << PNET_status_text(status);
    int box[4];
    const auto page = pntest::draw_plate("AB123", 3, 20, 15, 160, 50, 3, box);
    std::vector<Candidate> want;
    ASSERT_EQ(direct->read({page.pixels.data(), page.width, page.height, page.width}, box[0], box[1], box[2], box[3],
                           "", 5, &want), Status::ok);
    pnet_reading got;
    ASSERT_EQ(PNET_read_region(loaded, page.pixels.data(), page.width, page.height, page.width, box[0], box[1], box[2],
                               box[3], nullptr, 5, &got), PNET_OK);
    ASSERT_TRUE(got.count > 0 && got.count == static_cast<int>(want.size()));
    for (int i = 0; i < got.count; ++i) {
        const auto& w = want[static_cast<std::size_t>(i)];
        EXPECT_EQ(std::string(got.candidates[i].text), w.text);
        EXPECT_FLOAT_EQ(got.candidates[i].confidence, static_cast<float>(w.probability));
        EXPECT_TRUE(got.candidates[i].confidence >= 0.0f && got.candidates[i].confidence <= 1.0f);
    }
    PNET_free_model(loaded);
}

TEST(NetworkRefuses, BadCalls) {
    std::vector<std::uint8_t> bytes;
    fresh_network(&bytes);
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
