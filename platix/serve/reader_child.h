// A worker's reading process: a child forked from the worker once its
// bases are loaded, that reads one image at a time for it over a socket
// pair. A reading that crashes the child or runs past the time limit
// costs that child only: the worker answers 500 and forks a fresh child
// (from its own unread state) for the next request.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace platix::serve {

// An HTTP answer: status and JSON body.
struct Answer {
    int status = 500;
    std::string body;
};

// {"ok": false, "error": why} with `status`.
Answer error_answer(int status, const std::string& why);

// One reading asked of the child: the image and the request's own options.
struct ReadJob {
    std::string image;
    int region = 0;  // a Region value
    int depth = 3;
    int topn = 10;
};

class ReaderChild {
public:
    using Read = std::function<Answer(const ReadJob&)>;
    // `read` runs in the child, once per job.
    explicit ReaderChild(Read read);
    // Ends the child.
    ~ReaderChild();
    ReaderChild(const ReaderChild&) = delete;
    ReaderChild& operator=(const ReaderChild&) = delete;

    // Forks the child when none runs; false when it cannot be started.
    bool start();

    // Has the child read `job` (starting one first when none runs) and
    // returns its answer. A child that ends without answering, or takes
    // longer than `limit` seconds (0: no limit; it is then killed), gives
    // a 500 saying so. One reading at a time: callers serialise.
    Answer ask(const ReadJob& job, double limit);

private:
    // Collects the child (killing it first with `kill_first`) and returns
    // how it ended, in words.
    std::string reap(bool kill_first);

    Read read_;
    pid_t pid_ = -1;
    int fd_ = -1;
};

}  // namespace platix::serve
