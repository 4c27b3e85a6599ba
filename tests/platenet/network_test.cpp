// The network through the C interface: bad calls are refused. (Readings through it: platix's windows pass and service.)
#include <gtest/gtest.h>

#include "model/network.h"
#include "platenet.h"

using namespace platenet;

namespace {

// The model file's bytes of a freshly initialised network.
std::vector<std::uint8_t> fresh_model_bytes() {
    ModelFile m;
    m.arch.widths = {8, 8, 16, 16, 16, 32}, m.arch.charset = "0123456789ABCO";
    std::unique_ptr<Network> net;
    EXPECT_EQ(Network::create(m, &net), Status::ok);
    m.parameters = net->parameters();
    EXPECT_EQ(m.parameters.size(), expected_parameters(m.arch));
    return encode_model(m);
}

}  // namespace

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
