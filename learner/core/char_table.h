// The character table of the class dialogs: the 224 characters 32-255 in
// 16 columns of 14 (a column per low four bits of the code, a row per high
// four bits), one or two of them selected in the order chosen, with the
// class and code read-outs.
#pragma once

#include <string>
#include <vector>

#include "class_buffer.h"

namespace learner {

inline constexpr int kTableEntries = 224;
inline constexpr int kTableRows = 14;

// Entry index of a code 32-255 (low x 14 + row), and back.
int table_index_of(unsigned char code);
unsigned char table_code_of(int index);
// What an entry shows: a blank followed by the character.
std::string table_entry_text(int index);

class CharTable {
public:
    // Selects the buffer's character and a second, different one.
    explicit CharTable(const ClassBuffer& initial);

    // The user selects or unselects an entry. A third selection shows
    // "Too many characters selected!" and is undone; returns false then.
    bool toggle(int index);
    bool selected(int index) const;
    int selected_count() const { return static_cast<int>(order_.size()); }

    std::string class_text() const;    // the "Class:" read-out
    std::string ascii_text() const;    // the "ASCII:" read-out
    bool done_enabled() const { return !order_.empty(); }
    // "&Done": the buffer gets the chosen class.
    void done(ClassBuffer& out) const;
    std::string chosen() const;

private:
    std::vector<int> order_;  // selected entries, first chosen first
};

}  // namespace learner
