// Model files: what is written reads back; every kind of bad file is refused with its cause, in the core and the C interface.
#include <gtest/gtest.h>

#include <fstream>

#include "model/model_file.h"
#include "platenet.h"
#include "temp_dir.h"

using namespace platenet;

namespace {

ModelFile small_model() {
    ModelFile m;
    m.arch.widths = {4, 4, 8, 8, 8, 16}, m.arch.charset = "0123456789";
    m.parameters.resize(expected_parameters(m.arch));
    for (std::size_t i = 0; i < m.parameters.size(); ++i) m.parameters[i] = 0.001f * static_cast<float>(i % 997) - 0.3f;
    return m;
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

TEST(ModelFileReads, WhatWasWrittenAndCountsParametersOfTheNetwork) {
    const auto bytes = encode_model(small_model());
    ModelFile back;
    ASSERT_EQ(decode_model(bytes.data(), bytes.size(), &back), Status::ok);
    EXPECT_TRUE(back.arch == small_model().arch && back.parameters == small_model().parameters);
    Architecture a;
    a.widths = {2, 2, 2, 2, 2, 3}, a.charset = "AB", a.input_height = 16;
    // conv 1->2: 18 + 8; 2->2 four times: 4 * (36 + 8); head: (2*2)*3*3 + 3; out: 3*3 + 3.
    EXPECT_EQ(expected_parameters(a), 26u + 4u * 44u + 39u + 12u);
    a.input_height = 20;  // not a multiple of 8
    EXPECT_EQ(expected_parameters(a), 0u);
}

TEST(ModelFileRefuses, EachDamageWithItsCause) {
    const auto good = encode_model(small_model());
    const std::size_t charset_at = 8 + 4 * 11, count_at = charset_at + 10 + 4;  // magic, version, header size, h, w, L, 6 widths, K
    const std::uint32_t one_short = static_cast<std::uint32_t>(expected_parameters(small_model().arch) - 1);
    struct Case { const char* what; std::function<void(std::vector<std::uint8_t>&)> damage; Status want; };
    const std::vector<Case> cases = {
        {"empty", [](auto& b) { b.clear(); }, Status::foreign},
        {"foreign magic", [](auto& b) { b[0] = 'Q'; }, Status::foreign},
        {"cut in the header", [](auto& b) { b.resize(20); }, Status::truncated},
        {"cut in the payload", [](auto& b) { b.resize(b.size() - 3); }, Status::truncated},
        {"version 2", [](auto& b) { put32(b, 8, 2); }, Status::bad_version},
        {"input height 0", [](auto& b) { put32(b, 16, 0); }, Status::bad_header},
        {"input width huge", [](auto& b) { put32(b, 20, 1u << 30); }, Status::bad_header},
        {"layer count 5", [](auto& b) { put32(b, 24, 5); }, Status::bad_header},
        {"a layer of width 0", [](auto& b) { put32(b, 28, 0); }, Status::bad_header},
        {"charset too long", [](auto& b) { put32(b, charset_at - 4, 1000); }, Status::bad_header},
        {"charset with a blank", [&](auto& b) { b[charset_at] = ' '; }, Status::bad_header},
        {"charset repeats", [&](auto& b) { b[charset_at + 1] = '0'; }, Status::bad_header},
        {"parameter count off by one", [&](auto& b) { put32(b, count_at, one_short); }, Status::bad_parameters},
        {"a wider layer than the payload", [](auto& b) { put32(b, 28, 5); }, Status::bad_parameters},
        {"a payload byte flipped", [](auto& b) { b[b.size() - 17] ^= 0x40; }, Status::bad_checksum},
        {"a trailing byte", [](auto& b) { b.push_back(0); }, Status::bad_header},
    };
    for (const auto& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        ModelFile out;
        EXPECT_EQ(decode_model(bytes.data(), bytes.size(), &out), c.want) << c.what;
        int status = -1;
        pnet_model* m = PNET_load_model_bytes(bytes.data(), bytes.size(), &status);
        EXPECT_TRUE(m == nullptr && status == static_cast<int>(c.want)) << c.what << ": " << status;
        PNET_free_model(m);
    }
}

TEST(ModelFileRefuses, MissingFileAndReadsSavedOne) {
    testsupport::TempDir dir;
    int status = -1;
    EXPECT_TRUE(PNET_load_model(dir.file("none.pnet").c_str(), &status) == nullptr && status == PNET_CANNOT_OPEN);
    EXPECT_TRUE(PNET_load_model(nullptr, &status) == nullptr && status == PNET_BAD_ARGUMENT);
    ASSERT_TRUE(save_model_file(dir.file("m.pnet"), small_model()));
    pnet_model* m = PNET_load_model(dir.file("m.pnet").c_str(), &status);
    ASSERT_TRUE(m != nullptr && status == PNET_OK);
    EXPECT_STREQ(PNET_charset(m), "0123456789");
    EXPECT_TRUE(PNET_input_height(m) == 32 && PNET_input_width(m) == 256);
    PNET_free_model(m);
}
