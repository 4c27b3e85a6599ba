// A learned reader's model file with freshly initialised parameters: it reads (badly), which is all
// the program tests need of it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/model_file.h"
#include "model/network.h"

namespace {

void write_fresh_model(const std::string& path) {
    platenet::ModelFile m;
    std::unique_ptr<platenet::Network> net;
    ASSERT_EQ(platenet::Network::create(m, &net), platenet::Status::ok);
    m.parameters = net->parameters();
    ASSERT_TRUE(platenet::save_model_file(path, m));
}

}  // namespace
