// platix watch on drive-by videos the test makes: synthetic plates that read right as stills slide across a background.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "child_process.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace {

constexpr int kW = 800, kH = 450, kFps = 10;
constexpr int kFirst = 10, kSpan = 20, kPeriod = 35;  // frames: plate k shows in [kFirst + k kPeriod, + kSpan)
const std::string kKb = std::string(PLATIX_SOURCE_DIR) + "/data/kb/plates.kbf";

struct Plate { std::string text; Gray crop; };  // the text without blanks

std::string without_blanks(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

struct Event { std::string text; double first = 0, last = 0; };

// The events of the JSON lines in `out` (of `source` only, when given), and their texts.
std::vector<Event> events_of(const std::string& out, const std::string& source = "[^\"]*") {
    std::vector<Event> events;
    const std::regex re("\\{\"source\": \"" + source + "\", \"text\": \"([^\"]*)\".*\"first\": ([0-9.]+), \"last\": ([0-9.]+)");
    std::istringstream lines(out);
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, m, re)) events.push_back({without_blanks(m[1]), std::stod(m[2]), std::stod(m[3])});
    return events;
}
std::vector<std::string> texts(const std::vector<Event>& events) {
    std::vector<std::string> out;
    for (const auto& e : events) out.push_back(e.text);
    return out;
}

// Plates of synthetic scenes, cropped with a margin, that the program reads right as still pictures.
std::vector<Plate> readable_plates(const testsupport::TempDir& dir, std::size_t wanted) {
    std::vector<Plate> plates;
    if (platix("synth --style eu --image-format png --count 10 --seed 7 --out " + dir.file("s"), dir.path()).status != 0)
        return plates;
    for (int i = 1; i <= 10 && plates.size() < wanted; ++i) {
        const std::string stem = (i < 10 ? "scene0000" : "scene000") + std::to_string(i);
        std::ifstream label(dir.file(std::string("s/") + stem + ".txt"));
        std::string name, text;
        int x = 0, y = 0, w = 0, h = 0;
        if (!(label >> name >> x >> y >> w >> h >> text)) continue;
        const Gray scene = read_gray(dir.file(std::string("s/") + stem + ".png"));
        const int m = 24, left = std::max(0, x - m), top = std::max(0, y - m);
        const int right = std::min(scene.w, x + w + m), bottom = std::min(scene.h, y + h + m);
        if (right - left > kW / 2 || bottom - top > kH / 2) continue;
        Gray crop{right - left, bottom - top, {}};
        for (int i = 0; i < crop.w * crop.h; ++i)
            crop.px.push_back(scene.px[static_cast<std::size_t>(top + i / crop.w) * scene.w + left + i % crop.w]);
        const std::string still = dir.file(std::string(stem) + "-crop.png");
        write_gray(still, crop);
        const ToolRun r = platix("read --quiet --kb " + kKb + " " + still, dir.path());
        const auto tab = r.out.find('\t');
        if (r.status == 0 && tab != std::string::npos && without_blanks(r.out.substr(tab + 1, r.out.size() - tab - 2)) == text)
            plates.push_back({text, crop});
    }
    return plates;
}

// Plate k slides left to right during its frames; the rest of the time the background is empty.
void write_video(const std::string& path, const std::vector<Plate>& plates) {
    const int frames = kFirst + kPeriod * static_cast<int>(plates.size()) + kFirst;
    const std::string cmd = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt gray -s " + std::to_string(kW) + "x" +
                            std::to_string(kH) + " -r " + std::to_string(kFps) +
                            " -i - -c:v libx264 -qp 8 -g 10 -pix_fmt yuv420p -movflags +faststart " + path;
    FILE* p = ::popen(cmd.c_str(), "w");
    ASSERT_NE(p, nullptr);
    std::vector<unsigned char> frame(static_cast<std::size_t>(kW) * kH);
    for (int f = 0; f < frames; ++f) {
        for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<unsigned char>(90 + i / kW / 8);
        for (std::size_t k = 0; k < plates.size(); ++k) {
            const int start = kFirst + kPeriod * static_cast<int>(k);
            if (f < start || f >= start + kSpan) continue;
            const Gray& c = plates[k].crop;
            const int x0 = 10 + (kW - c.w - 20) * (f - start) / (kSpan - 1), y0 = (kH - c.h) / 2 + (f - start);
            for (int i = 0; i < c.w * c.h; ++i)
                frame[static_cast<std::size_t>(y0 + i / c.w) * kW + x0 + i % c.w] = c.px[static_cast<std::size_t>(i)];
        }
        ASSERT_EQ(std::fwrite(frame.data(), 1, frame.size(), p), frame.size());
    }
    ASSERT_EQ(::pclose(p), 0);
}

void sleep_s(double s) { std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(s * 1000))); }

class PlatixWatchRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir;
        plates_ = readable_plates(*dir_, 3);
        for (const auto& p : plates_) texts_.push_back(p.text);
        if (plates_.size() == 3) write_video(dir_->file("drive.mp4"), plates_);
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override { ASSERT_EQ(plates_.size(), 3u) << "the synthetic plates no longer read right as stills"; }
    static std::string kb() { return " --kb " + kKb + " "; }
    static inline testsupport::TempDir* dir_ = nullptr;
    static inline std::vector<Plate> plates_;
    static inline std::vector<std::string> texts_;  // of the plates in order
};

}  // namespace

TEST_F(PlatixWatchRun, GivesOneEventPerPassingPlateWithItsTextAndTimesSampledOrNot) {
    for (const std::string sampling : {"", "--every 2", "--fps 5"}) {
        const ToolRun r = platix("watch --quiet --gap 1 " + sampling + kb() + dir_->file("drive.mp4"), dir_->path());
        ASSERT_EQ(r.status, 0) << r.err;
        const auto events = events_of(r.out);
        ASSERT_EQ(texts(events), texts_) << sampling << "\n" << r.out;
        for (std::size_t k = 0; k < events.size() && sampling.empty(); ++k) {
            const double shown = static_cast<double>(kFirst + kPeriod * static_cast<int>(k)) / kFps;
            EXPECT_NEAR(events[k].first, shown, 2.0 / kFps + 1e-6) << k;
            EXPECT_NEAR(events[k].last, shown + static_cast<double>(kSpan - 1) / kFps, 2.0 / kFps + 1e-6) << k;
        }
    }
}

TEST_F(PlatixWatchRun, CsvRowsAndSavedBestFrames) {
    const ToolRun csv = platix("watch --quiet --format csv --gap 1 --save " + dir_->file("saved") + kb() +
                                   dir_->file("drive.mp4"), dir_->path());
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), static_cast<long>(texts_.size()) + 1) << csv.out;
    EXPECT_EQ(csv.out.rfind("source,text,", 0), 0u);
    // One annotated frame per passage, at the frame's size, the field frame in green.
    for (std::size_t n = 1; n <= texts_.size(); ++n) {
        const Rgb p = read_rgb(dir_->file("saved/drive-" + std::to_string(n) + ".png"));
        ASSERT_TRUE(p.w == kW && p.h == kH) << n;
        bool green = false;
        for (int i = 0; i < p.w * p.h && !green; ++i) green = p.at(i % p.w, i / p.w) == std::array<int, 3>{0, 224, 0};
        EXPECT_TRUE(green) << n;
    }
}

// The video served over HTTP at its own pace, cut after two plates: the watch reconnects, keeps the events, flushes on SIGTERM.
TEST_F(PlatixWatchRun, HttpStreamReconnectsAfterACutAndFlushesOnSigterm) {
    // Below the kernel's ephemeral ports (32768 up), which other tests' connections take at random.
    const std::string url = "http://127.0.0.1:" + std::to_string(20000 + ::getpid() % 12000);
    const std::vector<std::string> serve = {"ffmpeg", "-loglevel", "error", "-re", "-i", dir_->file("drive.mp4"),
                                            "-c", "copy", "-f", "mpegts", "-listen", "1", url};
    auto server = std::make_unique<ChildProcess>(serve, dir_->file("srv.err"));
    sleep_s(0.3);
    ChildProcess watch({PLATIX_BINARY, "watch", "--reconnect", "--gap", "0.8", "--kb", kKb, url}, dir_->file("w.err"),
                       dir_->file("w.out"));
    sleep_s(7.6);  // the second plate has left at 6.4 s and its passage closed at 7.2 s
    server->stop(SIGKILL);
    const std::size_t before_cut = events_of(watch.out()).size();
    server = std::make_unique<ChildProcess>(serve, dir_->file("srv.err"));
    sleep_s(3.5);  // the first plate is passing again
    const int status = watch.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    server->stop(SIGKILL);
    const std::string err = watch.err(), out = file_text(dir_->file("w.out"));
    // A killed server closes the connection, or resets it when data it sent was still unread.
    EXPECT_TRUE(std::regex_search(err, std::regex(url + ": the stream (ended|broke[^;\n]*); reconnecting in"))) << err;
    const auto events = events_of(out);
    EXPECT_GE(before_cut, 1u);  // two unless the machine is slow to close the second
    ASSERT_EQ(texts(events), (std::vector<std::string>{texts_[0], texts_[1], texts_[0]})) << out << err;
    EXPECT_GT(events[2].first, events[1].last);
}

TEST_F(PlatixWatchRun, SeveralSourcesAreWatchedAtOnceWithWholeLines) {
    std::filesystem::copy_file(dir_->file("drive.mp4"), dir_->file("second.mp4"),
                               std::filesystem::copy_options::overwrite_existing);
    const ToolRun r = platix("watch --quiet --gap 1" + kb() + dir_->file("drive.mp4") + " " + dir_->file("second.mp4") +
                                 " " + dir_->file("missing.mp4"), dir_->path());
    EXPECT_TRUE(r.status == 1 && r.err.find("missing.mp4: cannot open") != std::string::npos) << r.err;
    for (const std::string name : {"drive.mp4", "second.mp4"}) EXPECT_EQ(texts(events_of(r.out, dir_->file(name))), texts_) << name;
    EXPECT_EQ(events_of(r.out).size(), 2 * texts_.size()) << r.out;  // no line of one source broken by the other
}

TEST_F(PlatixWatchRun, DamagedFramesAreSkippedAndATruncatedFileGivesTheEventsItHolds) {
    auto bytes = testsupport::read_bytes(dir_->file("drive.mp4"));
    testsupport::write_bytes(dir_->file("cut.mp4"), {bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() * 6 / 10)});
    ToolRun r = platix("watch --gap 1" + kb() + dir_->file("cut.mp4"), dir_->path());
    EXPECT_TRUE(r.status == 1 && r.err.find("cut.mp4: the file ends early (truncated or damaged)") != std::string::npos) << r.err;
    auto got = texts(events_of(r.out));
    ASSERT_TRUE(got.size() >= 1 && got.size() < texts_.size()) << r.out;
    EXPECT_EQ(got, std::vector<std::string>(texts_.begin(), texts_.begin() + static_cast<long>(got.size())));
    const std::size_t at = bytes.size() * 45 / 100;
    for (std::size_t i = at; i < at + 2000 && i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(bytes[i] * 7 + 13);
    testsupport::write_bytes(dir_->file("damaged.mp4"), bytes);
    r = platix("watch --gap 1" + kb() + dir_->file("damaged.mp4"), dir_->path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::regex_search(r.err, std::regex("damaged.mp4: [0-9]+ frames decoded, [0-9]+ analysed, 0 dropped "
                                                    "\\(analysis behind\\), [1-9][0-9]* damaged skipped"))) << r.err;
    got = texts(events_of(r.out));  // the plates away from the damage are read, in order, each once
    ASSERT_TRUE(got.size() >= 2 && got.size() <= texts_.size()) << r.out;
    EXPECT_TRUE(got.front() == texts_.front() && got.back() == texts_.back()) << r.out;
}

TEST(PlatixWatchDevice, AMissingCameraIsOneLineAndExitStatusOne) {
    testsupport::TempDir dir;
    const ToolRun r = platix("watch --quiet /dev/video97", dir.path());
    EXPECT_TRUE(r.status == 1 && r.out.empty() && r.err == "platix: /dev/video97: no such video device\n") << r.err;
}
