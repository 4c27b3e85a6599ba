// FFmpeg demuxing and decoding, converted to gray only for sampled frames.
#include "watch/source.h"

#include <chrono>
#include <filesystem>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

namespace platix::watch {

namespace {

std::string av_message(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}

// The largest frame converted: the page store's own bound.
constexpr long long kMaxPixels = 1LL << 28;

}  // namespace

struct VideoSource::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwsContext* sws = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    double time_base = 0;
    std::int64_t first_pts = AV_NOPTS_VALUE;
    bool draining = false;
    bool broken = false;  // the stream broke; draining what was decoded
    const std::atomic<bool>* stop = nullptr;
    std::chrono::steady_clock::time_point deadline;
    double timeout_s = 0;

    ~Impl() {
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    // Stops a blocked read when the stop flag rises or the read outlasts
    // its timeout.
    static int interrupt(void* opaque) {
        const auto* self = static_cast<const Impl*>(opaque);
        if (self->stop != nullptr && self->stop->load()) return 1;
        return self->timeout_s > 0 && std::chrono::steady_clock::now() > self->deadline ? 1 : 0;
    }
    void arm() {
        deadline = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(static_cast<long>(timeout_s * 1000));
    }
};

const char* input_format_for(const std::string& url) {
    return url.rfind("/dev/video", 0) == 0 ? "video4linux2" : nullptr;
}

VideoSource::VideoSource(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
VideoSource::~VideoSource() = default;

std::unique_ptr<VideoSource> VideoSource::open(const std::string& url, const std::atomic<bool>* stop, double timeout_s,
                                               std::string* why) {
    av_log_set_level(AV_LOG_QUIET);
    const AVInputFormat* input = nullptr;
    if (const char* name = input_format_for(url)) {
        static std::once_flag devices;
        std::call_once(devices, [] { avdevice_register_all(); });
        input = av_find_input_format(name);
        if (input == nullptr) return *why = std::string("this FFmpeg has no ") + name + " input", nullptr;
        std::error_code ec;
        if (!std::filesystem::exists(url, ec)) return *why = "no such video device", nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->stop = stop;
    impl->timeout_s = timeout_s;
    impl->format = avformat_alloc_context();
    if (impl->format == nullptr) return *why = "out of memory", nullptr;
    impl->format->interrupt_callback.callback = &Impl::interrupt;
    impl->format->interrupt_callback.opaque = impl.get();
    AVDictionary* options = nullptr;
    if (url.rfind("rtsp://", 0) == 0) av_dict_set(&options, "rtsp_transport", "tcp", 0);
    impl->arm();
    int rc = avformat_open_input(&impl->format, url.c_str(), input, &options);
    av_dict_free(&options);
    if (rc < 0) {
        *why = (input != nullptr ? "cannot open the video device: " : "cannot open: ") + av_message(rc);
        return nullptr;  // avformat_open_input freed the context
    }
    impl->arm();
    if ((rc = avformat_find_stream_info(impl->format, nullptr)) < 0) return *why = "no stream information: " + av_message(rc), nullptr;
    const AVCodec* decoder = nullptr;
    impl->stream = av_find_best_stream(impl->format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (impl->stream < 0 || decoder == nullptr) return *why = "no video stream that can be decoded", nullptr;
    AVStream* s = impl->format->streams[impl->stream];
    impl->codec = avcodec_alloc_context3(decoder);
    impl->packet = av_packet_alloc();
    impl->frame = av_frame_alloc();
    if (impl->codec == nullptr || impl->packet == nullptr || impl->frame == nullptr) return *why = "out of memory", nullptr;
    if (avcodec_parameters_to_context(impl->codec, s->codecpar) < 0) return *why = "bad codec parameters", nullptr;
    impl->codec->thread_count = 1;  // one core per source; sources run side by side
    if ((rc = avcodec_open2(impl->codec, decoder, nullptr)) < 0) return *why = "cannot open the decoder: " + av_message(rc), nullptr;
    impl->time_base = av_q2d(s->time_base);
    for (unsigned i = 0; i < impl->format->nb_streams; ++i)
        if (static_cast<int>(i) != impl->stream) impl->format->streams[i]->discard = AVDISCARD_ALL;
    std::unique_ptr<VideoSource> source(new VideoSource(std::move(impl)));
    source->announced_ = s->nb_frames > 0 ? static_cast<long>(s->nb_frames) : 0;
    return source;
}

NextStatus VideoSource::convert(Sampler& sampler, GrayFrame& out, bool& took) {
    Impl& m = *impl_;
    AVFrame* f = m.frame;
    took = false;
    const long index = decoded_++;
    if (f->decode_error_flags != 0 || (f->flags & AV_FRAME_FLAG_CORRUPT) != 0) {
        ++corrupt_;
        return NextStatus::frame;
    }
    std::int64_t pts = f->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE) pts = f->pts;
    double t = 0;
    if (pts != AV_NOPTS_VALUE) {
        if (m.first_pts == AV_NOPTS_VALUE) m.first_pts = pts;
        t = static_cast<double>(pts - m.first_pts) * m.time_base;
    } else if (m.codec->framerate.num > 0) {
        t = static_cast<double>(index) / av_q2d(m.codec->framerate);
    }
    if (!sampler.take(index, t)) return NextStatus::frame;
    if (f->width < 1 || f->height < 1 || static_cast<long long>(f->width) * f->height > kMaxPixels) {
        ++corrupt_;
        return NextStatus::frame;
    }
    m.sws = sws_getCachedContext(m.sws, f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width, f->height,
                                 AV_PIX_FMT_GRAY8, SWS_POINT, nullptr, nullptr, nullptr);
    if (m.sws == nullptr) {
        why_ = "cannot convert frames of this pixel format to gray";
        return NextStatus::broken;
    }
    out.width = f->width;
    out.height = f->height;
    out.pixels.resize(static_cast<std::size_t>(f->width) * static_cast<std::size_t>(f->height));
    std::uint8_t* planes[4] = {out.pixels.data(), nullptr, nullptr, nullptr};
    int strides[4] = {f->width, 0, 0, 0};
    sws_scale(m.sws, f->data, f->linesize, 0, f->height, planes, strides);
    out.t = t;
    out.index = index;
    took = true;
    return NextStatus::frame;
}

NextStatus VideoSource::next(Sampler& sampler, GrayFrame& out) {
    Impl& m = *impl_;
    for (;;) {
        if (m.stop != nullptr && m.stop->load()) return NextStatus::stopped;
        int rc = avcodec_receive_frame(m.codec, m.frame);
        if (rc == 0) {
            bool took = false;
            const NextStatus s = convert(sampler, out, took);
            av_frame_unref(m.frame);
            if (s != NextStatus::frame || took) return s;
            continue;
        }
        if (rc == AVERROR_EOF) {
            if (m.broken) return NextStatus::broken;
            if (announced_ > 0 && decoded_ + corrupt_ < announced_) {
                why_ = "the file ends early (truncated or damaged): " + std::to_string(decoded_) + " of " +
                       std::to_string(announced_) + " frames decoded";
                return NextStatus::broken;
            }
            return NextStatus::end;
        }
        if (rc != AVERROR(EAGAIN)) {
            // A frame the decoder could not finish: skipped, and the
            // next packet is read.
            ++corrupt_;
        }
        if (m.draining) return m.broken ? NextStatus::broken : NextStatus::end;
        m.arm();
        rc = av_read_frame(m.format, m.packet);
        if (rc < 0) {
            if (m.stop != nullptr && m.stop->load()) return NextStatus::stopped;
            if (rc != AVERROR_EOF || (m.format->pb != nullptr && m.format->pb->error < 0)) {
                why_ = "the stream broke: " + av_message(rc == AVERROR_EOF ? m.format->pb->error : rc);
                if (rc == AVERROR_EXIT) why_ = "the stream stopped sending (read timed out)";
                // What the decoder still holds is delivered first.
                m.broken = true;
            }
            avcodec_send_packet(m.codec, nullptr);
            m.draining = true;
            continue;
        }
        if (m.packet->stream_index == m.stream) {
            if (avcodec_send_packet(m.codec, m.packet) < 0) ++corrupt_;
        }
        av_packet_unref(m.packet);
    }
}

}  // namespace platix::watch
