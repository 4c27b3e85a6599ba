// Shared checks of the own-format reader tests (with <cstdint> and <vector>): page bytes, every cut of a file decoded.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "readers.h"

namespace rktest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes page_pixels(const rk::ReadResult& r) {
    const std::uint8_t* p = r.page.pixels.get();
    return Bytes(p, p + static_cast<std::size_t>(r.page.width) * r.page.height);
}

// A length below which a cut is refused with its error and no page.
struct Refusal { std::size_t below; rk::ReadError error; };

// Decodes `f` cut at every length: the first refusal above the cut applies; longer cuts give the whole file's page
// with pixel i as in the whole file when its last byte end_of(i) lies within the cut, black otherwise.
inline void expect_every_cut(const Bytes& f, rk::ReadResult (*decode)(std::span<const std::uint8_t>),
                             const std::vector<Refusal>& refusals, const std::function<std::size_t(std::size_t)>& end_of) {
    const rk::ReadResult whole = decode(f);
    ASSERT_TRUE(whole.ok());
    const Bytes full = page_pixels(whole);
    for (std::uint8_t g : full) ASSERT_NE(g, 0);
    for (std::size_t len = 0; len <= f.size(); ++len) {
        rk::ReadResult r = decode(std::span(f.data(), len));
        const Refusal* refused = nullptr;
        for (const Refusal& x : refusals) refused = refused != nullptr || len >= x.below ? refused : &x;
        if (refused != nullptr) {
            EXPECT_TRUE(r.error == refused->error && r.page.pixels == nullptr) << len << ": " << rk::read_error_name(r.error);
            continue;
        }
        ASSERT_TRUE(r.ok() && r.page.width == whole.page.width && r.page.height == whole.page.height) << len;
        for (std::size_t i = 0; i < full.size(); ++i)
            ASSERT_EQ(r.page.pixels.get()[i], end_of(i) <= len ? full[i] : 0) << len << " " << i;
    }
}

}  // namespace rktest
