// The network through the reader and the C interface: a saved model reads
// as the network it came from, and bad calls are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "model/network.h"
#include "plate_drawing.h"
#include "platenet.h"
#include "reader.h"

using namespace platenet;

namespace {

ModelFile fresh_file() {
    ModelFile m;
    m.arch.widths = {8, 8, 16, 16, 16, 32};
    m.arch.charset = "0123456789ABCO";
    return m;
}

}  // namespace

TEST(NetworkRoundTrip, SavedModelReadsIdentically) {
    std::unique_ptr<Network> net;
    ASSERT_EQ(Network::create(fresh_file(), &net), Status::ok);
    ModelFile file = fresh_file();
    file.parameters = net->parameters();
    ASSERT_EQ(file.parameters.size(), expected_parameters(file.arch));
    const auto bytes = encode_model(file);

    std::unique_ptr<Reader> direct;
    ASSERT_EQ(Reader::from_network(std::move(net), &direct), Status::ok);
    int status = -1;
    pnet_model* loaded = PNET_load_model_bytes(bytes.data(), bytes.size(), &status);
    ASSERT_NE(loaded, nullptr) << PNET_status_text(status);

    int box[4];
    const auto page = pntest::draw_plate("AB123", 3, 20, 15, 160, 50, 3, box);
    std::vector<Candidate> want;
    ASSERT_EQ(direct->read({page.pixels.data(), page.width, page.height, page.width}, box[0], box[1], box[2], box[3],
                           "", 5, &want),
              Status::ok);
    pnet_reading got;
    ASSERT_EQ(PNET_read_region(loaded, page.pixels.data(), page.width, page.height, page.width, box[0], box[1],
                               box[2], box[3], nullptr, 5, &got),
              PNET_OK);
    ASSERT_EQ(got.count, static_cast<int>(want.size()));
    ASSERT_GT(got.count, 0);
    for (int i = 0; i < got.count; ++i) {
        EXPECT_EQ(std::string(got.candidates[i].text), want[static_cast<std::size_t>(i)].text);
        EXPECT_FLOAT_EQ(got.candidates[i].confidence, static_cast<float>(want[static_cast<std::size_t>(i)].probability));
        EXPECT_GE(got.candidates[i].confidence, 0.0f);
        EXPECT_LE(got.candidates[i].confidence, 1.0f);
    }
    PNET_free_model(loaded);
}

TEST(NetworkRefuses, BadCalls) {
    std::unique_ptr<Network> net;
    ASSERT_EQ(Network::create(fresh_file(), &net), Status::ok);
    ModelFile file = fresh_file();
    file.parameters = net->parameters();
    const auto bytes = encode_model(file);
    pnet_model* m = PNET_load_model_bytes(bytes.data(), bytes.size(), nullptr);
    ASSERT_NE(m, nullptr);
    std::vector<std::uint8_t> page(64 * 32, 200);
    pnet_reading r;
    r.count = 99;
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 10, 10, 10, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(r.count, 0);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 70, 0, 90, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, nullptr, 64, 32, 64, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 32, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 0, 0, 20, 20, "LLX", 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 0, 0, 20, 20, nullptr, 0, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 0, 0, 20, 20, nullptr, PNET_MAX_CANDIDATES + 1, &r),
              PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(nullptr, page.data(), 64, 32, 64, 0, 0, 20, 20, nullptr, 3, &r), PNET_BAD_ARGUMENT);
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, 0, 0, 20, 20, "LLDDD", 3, nullptr), PNET_BAD_ARGUMENT);
    // A region partly outside is clipped, not refused.
    EXPECT_EQ(PNET_read_region(m, page.data(), 64, 32, 64, -5, -5, 30, 40, "LLDDD", 3, &r), PNET_OK);
    PNET_free_model(m);
}
