// The narrow interfaces through which window logic reaches the toolkit:
// posting commands to a window's own queue, the repeating timer and the
// mouse cursor. The Qt layer implements them on the event loop; tests
// implement them with plain queues and flags.
#pragma once

#include <cstdint>

namespace desk {

// Commands a window posts to itself: delivered by the event loop after
// the command being handled has ended, in the order they were posted.
class CommandPoster {
public:
    virtual ~CommandPoster() = default;
    virtual void post(unsigned command, std::intptr_t param = 0) = 0;
};

// One repeating timer per identifier; starting a running timer restarts it.
class RepeatingTimer {
public:
    virtual ~RepeatingTimer() = default;
    virtual void start(int id, int period_ms) = 0;
    virtual void stop(int id) = 0;
};

enum class CursorKind { Arrow, Wait, Cross, SizeHorizontal, Target };

// The status lights of an output bar.
enum class Light { Gray, Red, Yellow, Green };

class CursorPort {
public:
    virtual ~CursorPort() = default;
    virtual void set_cursor(CursorKind kind) = 0;
};

}  // namespace desk
