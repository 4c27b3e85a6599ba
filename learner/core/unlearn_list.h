// The list of the unlearn dialog: one entry per class of the knowledge
// base, its selection and enabling rules, and the removal of the selected
// classes through the engine.
#pragma once

#include <string>
#include <vector>

#include "session_libs.h"

namespace learner {

// "%c%c (%3u,%3u)" for the class bytes a, b ('_' shown as a blank).
std::string unlearn_entry_text(char a, char b);

class UnlearnList {
public:
    // contents: two bytes per class, `bytes` long.
    UnlearnList(const char* contents, int bytes);

    int size() const { return static_cast<int>(classes_.size()); }
    std::string text(int i) const;
    bool selected(int i) const { return selected_.at(static_cast<std::size_t>(i)); }
    void set_selected(int i, bool on);
    void select_all();
    void unselect();

    bool ok_enabled() const;        // also "&Unselect"
    bool select_all_enabled() const;

    // "&OK": asks "All learned characters will be lost! Proceed?" when
    // everything is selected; on No returns -1 (the dialog stays open).
    // Otherwise unlearns every selected class in list order and returns 1.
    int ok(ocr_io& io, SessionLibs& libs);

private:
    std::vector<std::pair<char, char>> classes_;
    std::vector<bool> selected_;
};

}  // namespace learner
