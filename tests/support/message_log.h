// A recorder of the libraries' message boxes and beeps, and a folder with one knowledge base and its list file.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "orvosys.h"
#include "temp_dir.h"

namespace testsupport {

struct ShownBox {
    std::string title, text;
    unsigned style = 0;
    bool operator==(const ShownBox&) const = default;
};

// Records every box and beep while alive (`events`: "box" or "beep" in order); answers from `answers`, then Yes or OK.
class MessageLog {
public:
    MessageLog() { osys_set_message_presenter(&present, this, nullptr), osys_set_beeper(&beep, this); }
    ~MessageLog() { osys_set_message_presenter(nullptr, nullptr, nullptr), osys_set_beeper(nullptr, nullptr); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<ShownBox> shown;
    std::vector<std::string> events;
    std::deque<int> answers;
    int beeps = 0;

    bool showed(const std::string& text) const {
        for (const ShownBox& s : shown)
            if (s.text == text) return true;
        return false;
    }
    void clear() { shown.clear(), events.clear(), beeps = 0; }

private:
    static int present(void* c, const char* title, const char* text, unsigned style) {
        auto* log = static_cast<MessageLog*>(c);
        log->shown.push_back({title, text, style});
        log->events.push_back("box");
        if (log->answers.empty()) return (style & OSYS_MB_BUTTONS) == OSYS_MB_YESNO ? OSYS_IDYES : OSYS_IDOK;
        const int a = log->answers.front();
        log->answers.pop_front();
        return a;
    }
    static void beep(void* c) { ++static_cast<MessageLog*>(c)->beeps, static_cast<MessageLog*>(c)->events.push_back("beep"); }
};

// A temporary folder whose list file `list` names the knowledge base `kb` (patterns `dat`); neither exists yet.
struct KbFolder {
    TempDir dir;
    std::string kb = dir.file("plates.kbf");
    std::string dat = dir.file("plates.dat");
    std::string list;

    explicit KbFolder(const std::string& list_name = "list.$$$") : list(dir.file(list_name)) {
        const std::string line = "[0] " + kb + "\r\n";
        write_bytes(list, std::vector<std::uint8_t>(line.begin(), line.end()));
    }
};

}  // namespace testsupport
