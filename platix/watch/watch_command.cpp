// platix watch: video sources read frame by frame, reads grouped into
// passages, one event per passage.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#include "annotate.h"
#include "commands.h"
#include "default_data.h"
#include "engine_session.h"
#include "image_analysis.h"
#include "kb_check.h"
#include "net_reading.h"
#include "png_out.h"
#include "rasterkit.h"
#include "watch/events.h"
#include "watch/frame_queue.h"
#include "watch/frame_reads.h"
#include "watch/source.h"
#include "watch/tracker.h"

namespace platix {

namespace {

// Frames of a live stream waiting for the analysis, at most.
constexpr std::size_t kLiveQueue = 2;

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// Children of a watch over several sources, told of a stop signal.
constexpr int kMaxChildren = 256;
pid_t g_children[kMaxChildren];
std::atomic<int> g_child_count{0};

extern "C" void on_stop_signal(int sig) {
    g_stop.store(true);
    const int n = g_child_count.load();
    for (int i = 0; i < n; ++i) ::kill(g_children[i], sig);
}

void install_stop_handlers() {
    struct sigaction sa{};
    sa.sa_handler = on_stop_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a blocked read returns
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// One write per record, so that the lines of several sources never mix.
void emit(const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

bool is_network(const std::string& source) {
    const auto at = source.find("://");
    return at != std::string::npos && source.compare(0, at, "file") != 0;
}

double wall_now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Sleeps up to `seconds`, waking early on a stop.
void pause_for(double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    while (!g_stop.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

std::string stem_of(const std::string& source) {
    std::string s = std::filesystem::path(source).stem().string();
    for (char& c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) c = '_';
    return s.empty() ? std::string("source") : s;
}

// A frame kept while it holds some open passage's best read: the page as
// analysed and what was read on it, for --save.
struct KeptFrame {
    std::vector<std::uint8_t> page;
    ImageResult result;
};

class SourceWatch {
public:
    SourceWatch(const WatchOptions& o, const std::string& source, ocr_io* io, const pnet_model* model)
        : o_(o), source_(source), tracker_(watch::TrackerSettings{o.gap}) {
        request_.depth = o.depth;
        request_.analysis = o.analysis;
        request_.io = io;
        request_.model = model;
        request_.recognition = o.recognition;
        // A stream shows each car in many frames, and most frames show no
        // plate: the windows pass would multiply the time of those frames.
        request_.recognition.windows = false;
    }

    int run() {
        const bool network = is_network(source_);
        double backoff = 0.5;
        double offset = 0;   // stream time of earlier connections
        long frame_base = 0; // frame numbers of earlier connections
        int status = 0;
        const auto start = std::chrono::steady_clock::now();
        while (!g_stop.load()) {
            std::string why;
            auto video = watch::VideoSource::open(source_, &g_stop, network ? 10.0 : 0.0, &why);
            if (!video) {
                if (g_stop.load()) break;
                if (o_.reconnect && network) {
                    std::fprintf(stderr, "platix: %s: %s; reconnecting in %.1f s\n", source_.c_str(), why.c_str(), backoff);
                    pause_for(backoff);
                    backoff = std::min(backoff * 2, 30.0);
                    continue;
                }
                std::fprintf(stderr, "platix: %s: %s\n", source_.c_str(), why.c_str());
                status = 1;
                break;
            }
            watch::Sampler sampler(o_.every, o_.fps);
            watch::GrayFrame frame;
            watch::NextStatus s;
            double last_t = offset;
            const auto take = [&](const watch::GrayFrame& f) {
                backoff = 0.5;
                last_t = offset + f.t;
                analyse(f, offset + f.t, frame_base + f.index);
            };
            if (network) {
                // A live stream is decoded on its own thread, so that slow
                // analysis drops frames instead of stalling the stream.
                watch::FrameQueue<watch::GrayFrame> queue(kLiveQueue);
                std::thread decoder([&] {
                    watch::GrayFrame f;
                    while ((s = video->next(sampler, f)) == watch::NextStatus::frame) queue.push(std::move(f));
                    queue.close();
                });
                while (auto f = queue.pop()) take(*f);
                decoder.join();
                dropped_ += queue.dropped();
            } else {
                while ((s = video->next(sampler, frame)) == watch::NextStatus::frame) take(frame);
            }
            decoded_ += video->decoded();
            corrupt_ += video->corrupt();
            frame_base += video->decoded();
            if (s == watch::NextStatus::stopped) break;
            // A live stream that ends has lost its sender: with --reconnect
            // it is opened again.
            if (s == watch::NextStatus::end && !(o_.reconnect && network)) break;
            if (o_.reconnect && network && !g_stop.load()) {
                const std::string why = s == watch::NextStatus::end ? "the stream ended" : video->why();
                std::fprintf(stderr, "platix: %s: %s; reconnecting in %.1f s\n", source_.c_str(), why.c_str(), backoff);
                offset = last_t + 0.04;
                video.reset();
                pause_for(backoff);
                backoff = std::min(backoff * 2, 30.0);
                continue;
            }
            std::fprintf(stderr, "platix: %s: %s\n", source_.c_str(), video->why().c_str());
            status = 1;
            break;
        }
        for (const auto& p : tracker_.flush()) publish(p);
        if (!o_.quiet) {
            const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::fprintf(stderr,
                         "platix: %s: %ld frames decoded, %ld analysed, %ld dropped (analysis behind), "
                         "%ld damaged skipped, %.2f s\n",
                         source_.c_str(), decoded_, analysed_, dropped_, corrupt_, wall);
        }
        return status;
    }

private:
    void analyse(const watch::GrayFrame& frame, double t, long frame_number) {
        std::vector<watch::PlateRead> reads;
        KeptFrame k;
        const bool keep = !o_.save_dir.empty();
        if (!watch::read_frame(frame, t, frame_number, wall_now(), request_, reads, k.result, keep ? &k.page : nullptr)) {
            ++corrupt_;
            return;
        }
        ++analysed_;
        k.result.path = source_;
        if (keep && !reads.empty()) kept_[frame_number] = std::move(k);
        for (const auto& p : tracker_.add_frame(t, reads)) publish(p);
        if (!o_.save_dir.empty()) {
            const auto wanted = tracker_.best_frames();
            for (auto it = kept_.begin(); it != kept_.end();) {
                if (std::find(wanted.begin(), wanted.end(), it->first) == wanted.end()) it = kept_.erase(it);
                else ++it;
            }
        }
    }

    void publish(const watch::Passage& p) {
        if (!o_.save_dir.empty()) save(p);
        switch (o_.format) {
        case OutputFormat::json: emit(watch::event_json(source_, p)); break;
        case OutputFormat::text: emit(watch::event_text(source_, p)); break;
        case OutputFormat::csv: emit(watch::event_csv_row(source_, p)); break;
        }
    }

    // Passages close before the kept frames are pruned, so the closing
    // passage's best frame is still there.
    void save(const watch::Passage& p) {
        const auto live = kept_.find(p.best.frame);
        if (live == kept_.end()) return;
        const KeptFrame* k = &live->second;
        const auto path = std::filesystem::path(o_.save_dir) / (stem_of(source_) + "-" + std::to_string(p.id) + ".png");
        std::string why;
        if (!write_png_file(path.string(), annotate_original("", k->page.data(), k->result), &why))
            std::fprintf(stderr, "platix: %s: %s\n", path.string().c_str(), why.c_str());
    }

    const WatchOptions& o_;
    std::string source_;
    AnalysisRequest request_;
    watch::Tracker tracker_;
    std::map<long, KeptFrame> kept_;
    long decoded_ = 0, analysed_ = 0, corrupt_ = 0, dropped_ = 0;
};

int watch_one(const WatchOptions& o, const std::vector<KbArg>& kbs, const NetModel* model, const std::string& source) {
    EngineSession engine(kbs);
    if (const int status = refuse_unfit_for_reading(engine, kbs)) return status;
    return SourceWatch(o, source, engine.io(), model != nullptr ? model->get() : nullptr).run();
}

}  // namespace

int run_watch(const WatchOptions& o) {
    // With a model the fields are read by it and no base is loaded.
    const auto model = model_for(o.recognition, !o.kbs.empty(), o.quiet);
    const std::vector<KbArg> kbs = model ? std::vector<KbArg>{} : resolve_kbs(o.kbs, o.quiet);
    require_kb_files(kbs);
    if (!o.save_dir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(o.save_dir, ec);
        if (!std::filesystem::is_directory(o.save_dir, ec)) {
            std::fprintf(stderr, "platix: %s: cannot make the folder\n", o.save_dir.c_str());
            return 1;
        }
    }
    install_stop_handlers();
    if (o.format == OutputFormat::csv) emit(watch::event_csv_header());
    if (o.sources.size() == 1) return watch_one(o, kbs, model.get(), o.sources[0]);
    if (o.sources.size() > kMaxChildren) throw UsageError("watch: at most 256 sources at once");
    // The libraries hold one page and one engine per process: one process
    // per source.
    for (const auto& source : o.sources) {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        if (pid < 0) {
            std::fprintf(stderr, "platix: %s: cannot start a process\n", source.c_str());
            continue;
        }
        if (pid == 0) {
            g_child_count.store(0);
            std::fflush(nullptr);
            ::_exit(watch_one(o, kbs, model.get(), source));
        }
        g_children[g_child_count.load()] = pid;
        g_child_count.fetch_add(1);
    }
    int status = g_child_count.load() == static_cast<int>(o.sources.size()) ? 0 : 1;
    for (int i = 0; i < g_child_count.load(); ++i) {
        int st = 0;
        while (::waitpid(g_children[i], &st, 0) < 0 && errno == EINTR) {
        }
        const int code = WIFEXITED(st) ? WEXITSTATUS(st) : 1;
        status = std::max(status, code);
    }
    return status;
}

}  // namespace platix
