// The 1-bit field bitmap the engine tests draw into (1 = background, 0 =
// ink, leftmost pixel in the top bit).
#pragma once

#include "test_field_bitmap.h"

namespace gntest {

using TestBitmap = testsupport::FieldBitmap;

}  // namespace gntest
