// Confusion groups: classes whose shapes are easily taken for one another
// (0 c e o, 8 B ...). Only one-character classes have a group.
#pragma once

namespace gn {

// The group of the class (c2 == '_' for one character); 0 for none.
int confusion_group(unsigned char c1, unsigned char c2);

}  // namespace gn
