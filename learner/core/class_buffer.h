// The class being taught: up to two characters and a NUL, shared by the
// training dialog and its class dialogs.
#pragma once

#include <string>

namespace learner {

struct ClassBuffer {
    char c[3] = {0, 0, 0};
    void clear() { c[0] = c[1] = c[2] = 0; }
    // Takes at most the first two characters of s.
    void set(const std::string& s) {
        clear();
        for (std::size_t i = 0; i < s.size() && i < 2; ++i) c[i] = s[i];
    }
    std::string str() const { return std::string(c); }
    bool empty() const { return c[0] == 0; }
};

}  // namespace learner
