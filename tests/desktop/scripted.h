// Scripted stand-ins for the user: a message presenter that records every box
// and answers from a queue, and an open-file dialog that answers from a queue
// and records each request.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "file_selection.h"
#include "orvosys.h"

namespace scripted {

struct Box {
    std::string title, text;
    unsigned style = 0;
};

class Presenter {
public:
    Presenter() { osys_set_message_presenter(&present, this, nullptr), osys_set_beeper(&beep, this); }
    ~Presenter() { osys_set_message_presenter(nullptr, nullptr, nullptr), osys_set_beeper(nullptr, nullptr); }
    std::vector<Box> boxes;
    std::deque<int> answers;  // none left: Yes for Yes/No boxes, else OK
    int beeps = 0;

private:
    static int present(void* c, const char* title, const char* text, unsigned style) {
        auto* p = static_cast<Presenter*>(c);
        p->boxes.push_back({title, text, style});
        if (p->answers.empty()) return (style & OSYS_MB_BUTTONS) == OSYS_MB_YESNO ? OSYS_IDYES : OSYS_IDOK;
        const int a = p->answers.front();
        p->answers.pop_front();
        return a;
    }
    static void beep(void* c) { ++static_cast<Presenter*>(c)->beeps; }
};

struct FileDialog : desk::OpenFilePort {
    std::deque<desk::OpenFileAnswer> answers;  // none left: cancelled
    std::vector<desk::OpenFileRequest> requests;
    desk::OpenFileAnswer run(const desk::OpenFileRequest& rq) override {
        requests.push_back(rq);
        if (answers.empty()) return {};
        desk::OpenFileAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

inline desk::OpenFileAnswer chosen(std::vector<std::string> paths, int filter = 1) {
    desk::OpenFileAnswer a;
    a.chosen = true, a.paths = std::move(paths), a.filter_index = filter;
    return a;
}

}  // namespace scripted
