// Scripted stand-ins for the user: message boxes recorded and answered, an open-file dialog answered from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "file_selection.h"
#include "message_log.h"

namespace scripted {

using Presenter = testsupport::MessageLog;

struct FileDialog : desk::OpenFilePort {
    std::deque<desk::OpenFileAnswer> answers;
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
