// Which decoded frames are analysed: every Nth frame, or F frames per
// second of stream time. Frames not taken are never converted.
#pragma once

namespace platix::watch {

class Sampler {
public:
    // every >= 1; fps > 0 overrides every.
    Sampler(int every, double fps) : every_(every < 1 ? 1 : every), fps_(fps) {}

    // True when frame number `index` (from 0) at stream time `t` seconds is
    // to be analysed. Called once per decoded frame, in order.
    bool take(long index, double t) {
        if (fps_ <= 0) return index % every_ == 0;
        if (have_next_ && t < next_t_) return false;
        // The next slot after t: frames are taken on a 1/fps grid of stream
        // time, so that jitter in the timestamps does not drift the rate.
        const long slot = static_cast<long>(t * fps_);
        next_t_ = static_cast<double>(slot + 1) / fps_;
        have_next_ = true;
        return true;
    }

private:
    int every_;
    double fps_;
    double next_t_ = 0;
    bool have_next_ = false;
};

}  // namespace platix::watch
