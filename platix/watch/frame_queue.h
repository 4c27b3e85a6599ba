// Frames waiting between a live stream's decoder and the analysis. The
// decoder never waits: when the queue is full the oldest waiting frame is
// dropped (and counted), so the analysis always works on recent frames.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace platix::watch {

template <class Frame>
class FrameQueue {
public:
    explicit FrameQueue(std::size_t capacity) : capacity_(capacity < 1 ? 1 : capacity) {}

    // Adds a frame; drops the oldest waiting one when full.
    void push(Frame frame) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (frames_.size() >= capacity_) {
                frames_.pop_front();
                ++dropped_;
            }
            frames_.push_back(std::move(frame));
        }
        ready_.notify_one();
    }

    // No more frames will come; pop returns what waits, then nothing.
    void close() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        ready_.notify_all();
    }

    // The oldest waiting frame; waits for one. Empty once closed and drained.
    std::optional<Frame> pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return !frames_.empty() || closed_; });
        if (frames_.empty()) return std::nullopt;
        Frame f = std::move(frames_.front());
        frames_.pop_front();
        return f;
    }

    long dropped() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return dropped_;
    }

private:
    const std::size_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Frame> frames_;
    bool closed_ = false;
    long dropped_ = 0;
};

}  // namespace platix::watch
