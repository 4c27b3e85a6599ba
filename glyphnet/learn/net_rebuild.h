// Learning steps on the current knowledge base: adding a framed image as a
// sample, and rebuilding the net of a class (and of the classes it is then
// confused with) from the samples.
#pragma once

#include "kb/patterns.h"

namespace gn {

// Frames the rectangle, extracts its features and adds them as a sample of
// the class with the kind (an equal sample of the class takes the kind and
// moves to the end). False (message shown) on an invalid class, a frame
// that fails, or memory shortage.
bool add_sample(PatternTable* t, unsigned char c1, unsigned char c2, unsigned char kind,
                int left, int top, int width, int height);

// Rebuilds the net of class (c1, c2) in the current base, up to 5 passes.
// False when memory ran out (a message was shown).
bool rebuild_class(PatternTable* t, unsigned char c1, unsigned char c2);

}  // namespace gn
