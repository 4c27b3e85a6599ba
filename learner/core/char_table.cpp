// Selection rules and read-outs of the character table.
#include "char_table.h"

#include <algorithm>
#include <cstdio>

#include "orvosys.h"

namespace learner {

int table_index_of(unsigned char code) {
    const int k = code - 32;
    return (k % 16) * kTableRows + k / 16;
}

unsigned char table_code_of(int index) {
    return static_cast<unsigned char>(32 + index / kTableRows + 16 * (index % kTableRows));
}

std::string table_entry_text(int index) {
    return std::string(1, ' ') + static_cast<char>(table_code_of(index));
}

CharTable::CharTable(const ClassBuffer& initial) {
    const auto a = static_cast<unsigned char>(initial.c[0]);
    const auto b = static_cast<unsigned char>(initial.c[1]);
    if (a >= 32) {
        order_.push_back(table_index_of(a));
        if (b >= 32 && b != a) order_.push_back(table_index_of(b));
    }
}

bool CharTable::selected(int index) const {
    return std::find(order_.begin(), order_.end(), index) != order_.end();
}

bool CharTable::toggle(int index) {
    if (index < 0 || index >= kTableEntries) return false;
    const auto it = std::find(order_.begin(), order_.end(), index);
    if (it != order_.end()) {
        order_.erase(it);
        return true;
    }
    if (order_.size() >= 2) {
        osys_beep();
        osys_message_box("Too many characters selected!", "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
        return false;
    }
    order_.push_back(index);
    return true;
}

std::string CharTable::chosen() const {
    std::string s;
    for (int i : order_) s += static_cast<char>(table_code_of(i));
    return s;
}

std::string CharTable::class_text() const {
    if (order_.empty()) return std::string();
    return "\" " + chosen() + " \"";
}

std::string CharTable::ascii_text() const {
    char buf[32] = {};
    if (order_.size() == 1) std::snprintf(buf, sizeof buf, "%d", table_code_of(order_[0]));
    if (order_.size() == 2) std::snprintf(buf, sizeof buf, "%d, %d", table_code_of(order_[0]), table_code_of(order_[1]));
    return buf;
}

void CharTable::done(ClassBuffer& out) const { out.set(chosen()); }

}  // namespace learner
