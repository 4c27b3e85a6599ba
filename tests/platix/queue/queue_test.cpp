// platix worker and enqueue against the tests' own redis-server: every job answered, poison jobs dead with a reason.
#include <hiredis.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include <gtest/gtest.h>

#include "child_process.h"
#include "temp_dir.h"
#include "tool_run.h"

namespace {

const char* const kRedisServer = "/usr/bin/redis-server";

int free_port() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

struct ReplyFree { void operator()(redisReply* r) const { freeReplyObject(r); } };
using Reply = std::unique_ptr<redisReply, ReplyFree>;
using Entry = std::map<std::string, std::string>;

std::string str(const redisReply* r) { return std::string(r->str, r->len); }

// A redis-server of the test's own, without persistence, in its folder.
class Redis {
public:
    explicit Redis(const testsupport::TempDir& dir)
        : port_(free_port()),
          server_({kRedisServer, "--port", std::to_string(port_), "--bind", "127.0.0.1", "--save", "", "--appendonly",
                   "no", "--dir", dir.path(), "--logfile", dir.file("redis.log")},
                  dir.file("redis.err")) {
        for (int i = 0; i < 200 && context_ == nullptr; ++i) {
            redisContext* c = redisConnect("127.0.0.1", port_);
            if (c != nullptr && !c->err) context_ = c;
            else redisFree(c), std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
    ~Redis() { redisFree(context_); }
    bool up() const { return context_ != nullptr; }
    std::string url() const { return "redis://127.0.0.1:" + std::to_string(port_); }

    Reply run(const std::vector<std::string>& args) {
        std::vector<const char*> argv;
        std::vector<std::size_t> lengths;
        for (const auto& a : args) argv.push_back(a.data()), lengths.push_back(a.size());
        return Reply(static_cast<redisReply*>(
            redisCommandArgv(context_, static_cast<int>(argv.size()), argv.data(), lengths.data())));
    }

    // Each entry of a stream as a field map.
    std::vector<Entry> entries(const std::string& stream) {
        std::vector<Entry> out;
        const Reply r = run({"XRANGE", stream, "-", "+"});
        for (std::size_t i = 0; r && r->type == REDIS_REPLY_ARRAY && i < r->elements; ++i) {
            const redisReply* kv = r->element[i]->element[1];
            out.emplace_back();
            for (std::size_t k = 0; k + 1 < kv->elements; k += 2) out.back()[str(kv->element[k])] = str(kv->element[k + 1]);
        }
        return out;
    }

    long long length(const std::string& stream) {
        const Reply r = run({"XLEN", stream});
        return r && r->type == REDIS_REPLY_INTEGER ? r->integer : -1;
    }

private:
    int port_;
    ChildProcess server_;
    redisContext* context_ = nullptr;
};

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kRedisServer)) GTEST_SKIP() << "redis-server is not installed";
        redis_ = std::make_unique<Redis>(dir_);
        ASSERT_TRUE(redis_->up()) << "redis-server did not start";
        ASSERT_EQ(platix("synth --image-format jpeg --out " + dir_.file("s") + " --count 2 --seed 9", dir_.path()).status, 0);
        image_ = file_text(dir_.file("s/scene00001.jpg"));
    }

    std::unique_ptr<ChildProcess> worker(const std::string& name, const std::string& claim_after,
                                         const std::string& max_deliveries = "3") {
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{PLATIX_BINARY, "worker", "--quiet", "--redis", redis_->url(), "--stream", "jobs",
                                     "--group", "readers", "--consumer", name, "--claim-after", claim_after,
                                     "--max-deliveries", max_deliveries},
            dir_.file(name + ".err"));
    }

    // Waits until `stream` holds `n` entries, up to `seconds`.
    bool wait_length(const std::string& stream, long long n, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (redis_->length(stream) < n)
            if (std::chrono::steady_clock::now() > end) return false;
            else std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return true;
    }

    testsupport::TempDir dir_;
    std::unique_ptr<Redis> redis_;
    std::string image_;
};

TEST_F(QueueTest, EveryJobIsAnsweredAlthoughAWorkerIsKilled) {
    constexpr int kJobs = 100;
    for (int i = 0; i < kJobs; ++i)
        ASSERT_TRUE(redis_->run({"XADD", "jobs", "*", "id", "job-" + std::to_string(i), "image", image_, "camera",
                                 "gate-" + std::to_string(i % 3)}));
    auto a = worker("a", "1500"), b = worker("b", "1500"), c = worker("c", "1500");
    ASSERT_TRUE(wait_length("jobs:results", 10, 60)) << a->err();
    c->stop(SIGKILL);  // mid-run, most likely mid-job
    c = worker("c2", "1500");
    ASSERT_TRUE(wait_length("jobs:results", kJobs, 120));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // time for a late duplicate to land
    std::map<std::string, int> seen;
    for (const auto& e : redis_->entries("jobs:results")) {
        ++seen[e.at("id")];  // metadata passed through, and a reading
        EXPECT_TRUE(e.at("camera") == "gate-" + std::to_string(std::stoi(e.at("id").substr(4)) % 3) &&
                    e.at("result").find("\"fields\"") != std::string::npos) << e.at("id");
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kJobs));  // each id job-0 to job-99 at least once
    EXPECT_EQ(redis_->length("jobs:dead"), 0);
    const Reply pending = redis_->run({"XPENDING", "jobs", "readers"});
    EXPECT_TRUE(pending && pending->type == REDIS_REPLY_ARRAY && pending->elements >= 1 && pending->element[0]->integer == 0);
}

TEST_F(QueueTest, PoisonJobGoesToTheDeadLetterStream) {
    ASSERT_TRUE(redis_->run({"XADD", "jobs", "*", "id", "broken", "image", image_.substr(0, image_.size() / 2)}));
    ASSERT_TRUE(redis_->run({"XADD", "jobs", "*", "id", "missing", "path", dir_.file("nowhere.jpg")}));
    ASSERT_TRUE(redis_->run({"XADD", "jobs", "*", "id", "good", "image", image_}));
    auto w = worker("w", "100", "2");
    ASSERT_TRUE(wait_length("jobs:dead", 2, 30)) << w->err();
    ASSERT_TRUE(wait_length("jobs:results", 1, 30));
    std::map<std::string, Entry> dead;
    for (auto& e : redis_->entries("jobs:dead")) dead[e.at("id")] = e;
    ASSERT_EQ(dead.size(), 2u);
    EXPECT_TRUE(dead["broken"]["reason"].find("ends early") != std::string::npos && dead["broken"]["deliveries"] == "2")
        << dead["broken"]["reason"];
    EXPECT_NE(dead["missing"]["reason"].find("cannot open"), std::string::npos) << dead["missing"]["reason"];
    const auto results = redis_->entries("jobs:results");
    EXPECT_TRUE(results.size() == 1u && results[0].at("id") == "good");
}

TEST_F(QueueTest, AJobThatKeepsKillingItsWorkersIsDeadAndTheOthersAreAnswered) {
    // The poison image is a FIFO nobody writes to: each worker that takes it hangs and is killed here.
    ASSERT_EQ(::mkfifo(dir_.file("hang.jpg").c_str(), 0600), 0);
    const Reply added = redis_->run({"XADD", "jobs", "*", "id", "poison", "path", dir_.file("hang.jpg")});
    ASSERT_TRUE(added && added->type == REDIS_REPLY_STRING);
    const std::string poison_entry = str(added.get());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(redis_->run({"XADD", "jobs", "*", "id", "good-" + std::to_string(i), "image", image_}));
    const auto holder = [&] {
        const Reply r = redis_->run({"XPENDING", "jobs", "readers", poison_entry, poison_entry, "1"});
        if (!r || r->type != REDIS_REPLY_ARRAY || r->elements != 1) return std::string();
        return str(r->element[0]->element[1]);
    };
    int killed = 0;
    std::string name = "w0";
    auto w = worker(name, "200", "2");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (redis_->length("jobs:dead") < 1 && std::chrono::steady_clock::now() < end) {
        if (holder() == name && killed < 5) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));  // well inside the read
            // A worker that took the job only to move it to the dead letters is not the job's victim.
            if (redis_->length("jobs:dead") < 1 && holder() == name) {
                w->stop(SIGKILL);
                name = "w" + std::to_string(++killed);
                w = worker(name, "200", "2");
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(wait_length("jobs:dead", 1, 1)) << w->err();
    EXPECT_EQ(killed, 2);
    const auto dead = redis_->entries("jobs:dead");
    ASSERT_EQ(dead.size(), 1u);
    EXPECT_TRUE(dead[0].at("id") == "poison" && dead[0].at("entry") == poison_entry && dead[0].at("deliveries") == "3");
    EXPECT_NE(dead[0].at("reason").find("the workers ended while reading it"), std::string::npos) << dead[0].at("reason");
    ASSERT_TRUE(wait_length("jobs:results", 3, 60)) << w->err();
    std::set<std::string> answered;
    for (const auto& e : redis_->entries("jobs:results")) answered.insert(e.at("id"));
    EXPECT_EQ(answered, (std::set<std::string>{"good-0", "good-1", "good-2"}));
}

TEST_F(QueueTest, EnqueuePutsEveryImageOfAFolder) {
    std::ofstream(dir_.file("s/notes.txt")) << "not an image";
    const ToolRun r = platix("enqueue --redis " + redis_->url() + " --stream jobs --camera north " + dir_.file("s"),
                             dir_.path());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto jobs = redis_->entries("jobs");
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& j : jobs) EXPECT_TRUE(j.at("image") == file_text(j.at("id")) && j.at("camera") == "north" && j.count("time"));
}

}  // namespace
