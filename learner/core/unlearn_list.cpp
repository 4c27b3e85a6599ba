// Entries, selection and removal of the unlearn dialog.
#include "unlearn_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "orvosys.h"

namespace learner {

std::string unlearn_entry_text(char a, char b) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%c (%3u,%3u)", a, b == '_' ? ' ' : b,
                  static_cast<unsigned>(static_cast<unsigned char>(a)),
                  static_cast<unsigned>(static_cast<unsigned char>(b)));
    return buf;
}

UnlearnList::UnlearnList(const char* contents, int bytes) {
    for (int i = 0; contents && i + 1 < bytes; i += 2) classes_.emplace_back(contents[i], contents[i + 1]);
    selected_.assign(classes_.size(), false);
}

std::string UnlearnList::text(int i) const {
    const auto& c = classes_.at(static_cast<std::size_t>(i));
    return unlearn_entry_text(c.first, c.second);
}

void UnlearnList::set_selected(int i, bool on) { selected_.at(static_cast<std::size_t>(i)) = on; }
void UnlearnList::select_all() { std::fill(selected_.begin(), selected_.end(), true); }
void UnlearnList::unselect() { std::fill(selected_.begin(), selected_.end(), false); }

bool UnlearnList::ok_enabled() const { return std::find(selected_.begin(), selected_.end(), true) != selected_.end(); }

bool UnlearnList::select_all_enabled() const {
    return std::find(selected_.begin(), selected_.end(), false) != selected_.end();
}

int UnlearnList::ok(ocr_io& io, SessionLibs& libs) {
    if (!classes_.empty() && !select_all_enabled()) {
        osys_beep();
        if (osys_message_box("All learned characters will be lost! Proceed?", "Warning",
                             OSYS_MB_YESNO | OSYS_MB_ICONWARNING) != OSYS_IDYES)
            return -1;
    }
    for (std::size_t i = 0; i < classes_.size(); ++i) {
        if (!selected_[i]) continue;
        std::memset(io.taught_class, 0, sizeof io.taught_class);
        io.taught_class[0] = classes_[i].first;
        io.taught_class[1] = classes_[i].second;
        libs.unlearn();
    }
    return 1;
}

}  // namespace learner
