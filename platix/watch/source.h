// One video source read with FFmpeg's libraries: a file, a V4L2 device
// (/dev/videoN), or a network stream URL (rtsp://, http:// MJPEG or
// MPEG-TS). Frames are decoded in
// order; those the sampler takes are converted straight to 8-bit gray
// (swscale) into a buffer the caller hands to SEG_open_gray_page.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "watch/sampler.h"

namespace platix::watch {

struct GrayFrame {
    int width = 0, height = 0;         // stride = width
    std::vector<std::uint8_t> pixels;  // rows top first
    double t = 0;                      // stream time, seconds from the first frame
    long index = 0;                    // decoded frame number, from 0
};

enum class NextStatus {
    frame,  // a frame was taken
    end,    // the stream ended normally
    broken, // the stream stopped early: why() says how
    stopped // the stop flag was raised
};

// The FFmpeg input format a source needs named ("video4linux2" for
// /dev/video*), or null when FFmpeg finds it from the name and the data.
const char* input_format_for(const std::string& url);

class VideoSource {
public:
    // Opens `url`; null with the reason in *why when it cannot be opened or
    // holds no video stream it can decode ("no such video device" for a
    // /dev/video* path that does not exist). `stop` (may be null), when
    // raised, interrupts a blocked read. `timeout_s` bounds a network read.
    static std::unique_ptr<VideoSource> open(const std::string& url, const std::atomic<bool>* stop,
                                             double timeout_s, std::string* why);
    ~VideoSource();
    VideoSource(const VideoSource&) = delete;
    VideoSource& operator=(const VideoSource&) = delete;

    // Decodes until the sampler takes a frame and converts it into `out`.
    NextStatus next(Sampler& sampler, GrayFrame& out);

    const std::string& why() const { return why_; }
    long decoded() const { return decoded_; }   // frames decoded so far
    long corrupt() const { return corrupt_; }   // packets or frames skipped as damaged
    // The frame count the container announces, 0 when unknown.
    long announced() const { return announced_; }

    struct Impl;

private:
    explicit VideoSource(std::unique_ptr<Impl> impl);
    NextStatus convert(Sampler& sampler, GrayFrame& out, bool& took);

    std::unique_ptr<Impl> impl_;
    std::string why_;
    long decoded_ = 0;
    long corrupt_ = 0;
    long announced_ = 0;
};

}  // namespace platix::watch
