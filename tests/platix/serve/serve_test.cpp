// platix serve on loopback: the JSON of a scene (given model and region), the refusals, the token, killed workers.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <cstdio>
#include <thread>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "child_process.h"
#include "default_data.h"
#include "library_writers.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace {

using nlohmann::json;

// The start of a PNG file whose header claims a 100000 x 100000 picture.
const std::string kHugePng("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\0\0\0\0", 29);

// The children of `parent` (from /proc/PID/stat), with `running` only those running or waiting on the disk.
std::vector<pid_t> children_of(pid_t parent, bool running = false) {
    std::vector<pid_t> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = e.path().filename().string(), stat = file_text(e.path() / "stat");
        const auto close = stat.rfind(')');
        char state = 0;
        long ppid = 0;
        if (name.find_first_not_of("0123456789") == std::string::npos && close != std::string::npos &&
            std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 && ppid == parent &&
            (!running || state == 'R' || state == 'D'))
            out.push_back(static_cast<pid_t>(std::stol(name)));
    }
    std::sort(out.begin(), out.end());
    return out;
}

// `platix serve` on a free loopback port with two workers, ready when a worker answers.
class Service {
public:
    Service(const testsupport::TempDir& dir, std::vector<std::string> extra) : process_(with(extra), dir.file("serve.err")) {
        port_ = process_.wait_for("listening on 127\\.0\\.0\\.1:([0-9]+)", 20);
        if (port_.empty()) return;
        client_ = std::make_unique<httplib::Client>("127.0.0.1", std::stoi(port_));
        client_->set_read_timeout(30);
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end && !client_->Get("/v1/health"))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    bool up() const { return client_ != nullptr; }
    httplib::Client& client() { return *client_; }
    int port() const { return std::stoi(port_); }
    ChildProcess& process() { return process_; }

private:
    static std::vector<std::string> with(std::vector<std::string> extra) {
        extra.insert(extra.begin(), {PLATIX_BINARY, "serve", "--listen", "127.0.0.1:0", "--workers", "2"});
        return extra;
    }
    ChildProcess process_;
    std::string port_;
    std::unique_ptr<httplib::Client> client_;
};

class ServeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new testsupport::TempDir();
        ASSERT_EQ(platix("synth --image-format jpeg --out " + dir_->file("s") + " --count 1 --seed 5", dir_->path()).status, 0);
        scene_ = dir_->file("s/scene00001.jpg");
        std::ofstream(dir_->file("token")) << "s3cret\n";
        service_ = new Service(*dir_, {"--max-body", "4000000", "--token-file", dir_->file("token"), "--region", "eu", "--model",
                                       platix::bundled_model_path()});
    }
    static void TearDownTestSuite() { delete service_, delete dir_; }
    void SetUp() override { ASSERT_TRUE(service_->up()) << service_->process().err(); }
    static httplib::Headers auth() { return {{"Authorization", "Bearer s3cret"}}; }
    static inline testsupport::TempDir* dir_ = nullptr;
    static inline std::string scene_;
    static inline Service* service_ = nullptr;
};

TEST_F(ServeTest, AnswersTheJsonOfReadForAScene) {
    // The service's own region and model, and the request's; the formats it decodes: everyday_formats_test.
    const std::string m = " --model " + platix::bundled_model_path();
    for (const auto& [query, args] :
         {std::pair{"", "--region eu" + m}, {"?region=br", "--region br" + m}, {"?topn=3", "--topn 3 --region eu" + m}}) {
        auto res = service_->client().Post((std::string("/v1/read") + query).c_str(), auth(), file_text(scene_), "image/jpeg");
        const ToolRun r = platix("read --quiet --format json " + args + " " + scene_, dir_->path());
        ASSERT_TRUE(res && res->status == 200 && r.status == 0) << query << (res ? res->body : "") << r.err;
        json got = json::parse(res->body, nullptr, false), want = json::parse(r.out, nullptr, false);
        want.erase("file"), got.erase("ms"), want.erase("ms");  // the JSON `platix read` prints
        EXPECT_TRUE(got == want && !got["fields"].empty()) << query << got << want;
    }
    auto res = service_->client().Post("/v1/read", auth(), {{"image", file_text(scene_), "scene.jpg", "image/jpeg"}});
    EXPECT_TRUE(res && res->status == 200);  // the multipart form
}

TEST_F(ServeTest, RefusesBadRequestsWithJsonErrors) {
    const std::string jpeg = file_text(scene_);
    const testsupport::GrayImage grey{300, 200, std::vector<std::uint8_t>(60000, 9)};
    ASSERT_TRUE(testsupport::write_tiff(dir_->file("t.tif"), {testsupport::tiff_gray_page(grey)}));
    const struct { std::string body, content_type; bool with_token; int status; const char* error_part; } cases[] = {
        {jpeg.substr(0, jpeg.size() / 2), "image/jpeg", true, 400, "ends early"},
        {std::string(5000000, 'x'), "application/octet-stream", true, 413, "larger"},
        {"just some text, not a picture", "application/octet-stream", true, 415, "not a recognised"},
        {"GIF89a and the rest", "image/gif", true, 415, "unsupported format: GIF"},
        {"BM and the rest of a bitmap", "image/bmp", true, 415, "files only"},
        {file_text(dir_->file("t.tif")).substr(0, 600), "image/tiff", true, 400, "TIFF"},
        {"P5\n12 x\n255\n", "image/x-portable-graymap", true, 400, "netpbm"},
        {"P5 200000 100000 255\n", "image/x-portable-graymap", true, 413, "pixels"},
        {"", "application/octet-stream", true, 400, "no image"},
        {kHugePng, "image/png", true, 413, "pixels"},
        {jpeg, "image/jpeg", false, 401, "token"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error_part);
        auto res = service_->client().Post("/v1/read", c.with_token ? auth() : httplib::Headers{}, c.body, c.content_type.c_str());
        ASSERT_TRUE(res);
        const json j = json::parse(res->body, nullptr, false);
        ASSERT_TRUE(j.is_object()) << res->body;
        EXPECT_TRUE(res->status == c.status && !j.value("ok", true) && j.value("error", "").find(c.error_part) != std::string::npos)
            << res->status << " " << res->body;
    }
    for (const auto& [path, status] : {std::pair{"/v1/read?depth=9", 400}, {"/v1/read?topn=0", 400}, {"/v1/read", 200}}) {
        auto res = service_->client().Post(path, auth(), jpeg, "image/jpeg");  // the last: still serving
        EXPECT_TRUE(res && res->status == status) << path;
    }
}

TEST_F(ServeTest, ReplacesAKilledWorkerAndKeepsServing) {
    const auto health = service_->client().Get("/v1/health", auth());
    ASSERT_TRUE(health && health->status == 200);
    const json h = json::parse(health->body);
    EXPECT_TRUE(h["workers"] == 2 && h["model_loaded"] == true && h["reader"] == "net") << health->body;
    // The service is up when one worker answers; the other may still be loading. Both answer before one is killed,
    // or nobody would be left listening. Fresh connections, so that the kernel deals them to both.
    std::set<int> serving;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
         serving.size() < 2 && std::chrono::steady_clock::now() < end;) {
        httplib::Client probe("127.0.0.1", service_->port());
        if (const auto r = probe.Get("/v1/health", auth()); r && r->status == 200)
            serving.insert(json::parse(r->body)["pid"].get<int>());
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_EQ(serving.size(), 2u);
    const int victim = h["pid"];
    ASSERT_EQ(::kill(victim, SIGKILL), 0);
    for (int i = 0; i < 500 && ::kill(victim, 0) == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // A kept-alive connection the killed worker held is lost (no answer, never a wrong one); the rest are read.
    const std::string jpeg = file_text(scene_);
    int lost = 0, answered = 0;
    for (int i = 0; i < 8; ++i) {
        auto res = service_->client().Post("/v1/read", auth(), jpeg, "image/jpeg");
        lost += !res, answered += res && res->status == 200;
    }
    EXPECT_TRUE(lost <= 1 && answered + lost == 8) << lost << " " << answered;
    const auto metrics = service_->client().Get("/v1/metrics", auth());
    ASSERT_TRUE(metrics);
    for (const char* line : {"platix_workers_replaced_total 1", "platix_workers_alive 2", "platix_read_seconds_bucket{le=\"+Inf\"}"})
        EXPECT_NE(metrics->body.find(line), std::string::npos) << metrics->body;
}

TEST_F(ServeTest, AReadingThatCrashesOrOverrunsGets500AndTheWorkerStays) {
    const std::string jpeg = file_text(scene_);
    const std::vector<pid_t> workers = children_of(service_->process().pid());
    ASSERT_EQ(workers.size(), 2u);
    // The worker's reading process is ended by SIGSEGV while it reads (a kill after the answer is retried).
    bool crashed = false;
    for (int attempt = 0; attempt < 20 && !crashed; ++attempt) {
        httplib::Client c("127.0.0.1", service_->port());
        c.set_read_timeout(30);
        auto pending = std::async(std::launch::async, [&] { return c.Post("/v1/read", auth(), jpeg, "image/jpeg"); });
        bool killed = false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!killed && std::chrono::steady_clock::now() < end &&
               pending.wait_for(std::chrono::microseconds(200)) != std::future_status::ready)
            for (pid_t w : workers)
                for (pid_t reader : children_of(w, true)) killed = killed || ::kill(reader, SIGSEGV) == 0;
        auto res = pending.get();
        ASSERT_TRUE(res) << "the connection was dropped";
        if (!killed || res->status == 200) continue;
        crashed = true;
        EXPECT_EQ(res->status, 500) << res->body;
        const json j = json::parse(res->body, nullptr, false);  // SIGSEGV, or SIGABRT where a sanitizer aborts
        EXPECT_TRUE(!j.value("ok", true) && j.value("error", "").find("the reading was ended by signal") != std::string::npos)
            << res->body;
    }
    ASSERT_TRUE(crashed) << "no reading was caught in progress";
    EXPECT_EQ(children_of(service_->process().pid()), workers);  // the same workers serve on
    auto ok = service_->client().Post("/v1/read", auth(), jpeg, "image/jpeg");
    EXPECT_TRUE(ok && ok->status == 200);

    // A reading past a tiny time limit: a 500 that says so, then the service still answers.
    testsupport::TempDir dir;
    Service strict(dir, {"--workers", "1", "--time-limit", "0.001"});
    ASSERT_TRUE(strict.up()) << strict.process().err();
    for (int i = 0; i < 2; ++i) {
        auto res = strict.client().Post("/v1/read", jpeg, "image/jpeg");
        ASSERT_TRUE(res) << "the connection was dropped";
        EXPECT_TRUE(res->status == 500 && res->body.find("time limit of 0.001 s") != std::string::npos) << res->body;
    }
    auto health = strict.client().Get("/v1/health");
    EXPECT_TRUE(health && health->status == 200);
}

TEST(ServeOptions, RefusesAnOpenAddressWithoutAToken) {
    testsupport::TempDir dir;
    const ToolRun r = platix("serve --listen 0.0.0.0:0", dir.path());
    EXPECT_TRUE(r.status == 2 && r.err.find("loopback") != std::string::npos) << r.err;
}

}  // namespace
