// A page of drawn fields for the training tests: an 800 x 600 image that
// read well and holds the given fields.
#pragma once

#include <utility>
#include <vector>

#include "image_result.h"

namespace platix_test {

inline platix::ImageResult page_with(std::vector<platix::FieldResult> fields) {
    platix::ImageResult r;
    r.status = platix::ImageStatus::ok;
    r.width = r.maxcol = 800;
    r.height = r.maxlin = 600;
    r.fields = std::move(fields);
    return r;
}

}  // namespace platix_test
