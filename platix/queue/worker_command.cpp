// platix worker: a consumer of a Redis Stream through a consumer group.
// Each job is read, its result appended to the result stream and the job
// acknowledged in one MULTI/EXEC, so a job is done at least once: a
// worker that dies mid-job leaves it pending, and the others take it over
// (XAUTOCLAIM) once it has been idle for --claim-after. A job that failed
// --max-deliveries times goes to the dead-letter stream with the reason.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>

#include <hiredis.h>
#include <nlohmann/json.hpp>

#include "queue/redis_link.h"
#include "read_bytes.h"
#include "service_options.h"

namespace platix {

namespace {

using queue::Entry;
using queue::RedisLink;

volatile sig_atomic_t g_stop = 0;
void ask_stop(int) { g_stop = 1; }

// Fields of a job that are not passed through to its result.
bool is_job_input(const std::string& name) { return name == "id" || name == "image" || name == "path"; }

// The job's image bytes, or why there are none.
std::string job_image(const Entry& job, std::vector<std::uint8_t>& bytes) {
    if (const std::string* image = job.field("image")) {
        bytes.assign(image->begin(), image->end());
        return "";
    }
    const std::string* path = job.field("path");
    if (path == nullptr) return "the job has neither an image nor a path";
    std::ifstream in(*path, std::ios::binary);
    if (!in) return "cannot open " + *path;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return "";
}

class Worker {
public:
    Worker(const WorkerOptions& o, RedisLink& link, const ReadingEngine& engine, std::string consumer)
        : o_(o), link_(link), engine_(engine), consumer_(std::move(consumer)) {}

    // Creates the group (and the stream) when missing.
    bool ensure_group() {
        const auto r = link_.run({"XGROUP", "CREATE", o_.stream, o_.group, "0", "MKSTREAM"});
        if (!r) return false;
        if (r->type == REDIS_REPLY_ERROR && std::string(r->str, r->len).rfind("BUSYGROUP", 0) != 0) {
            std::fprintf(stderr, "platix worker: %.*s\n", static_cast<int>(r->len), r->str);
            return false;
        }
        return true;
    }

    // One round: jobs idle too long, then new ones (waiting up to a
    // second). False when the connection failed.
    bool round() {
        const auto claimed = link_.run({"XAUTOCLAIM", o_.stream, o_.group, consumer_, std::to_string(o_.claim_after_ms),
                                        "0-0", "COUNT", "4"});
        if (!claimed) return false;
        if (claimed->type == REDIS_REPLY_ARRAY && claimed->elements >= 2)
            for (const Entry& e : queue::entries_of(claimed->element[1]))
                if (!handle(e, deliveries(e.id))) return false;
        if (g_stop) return true;
        const auto fresh = link_.run({"XREADGROUP", "GROUP", o_.group, consumer_, "COUNT", "1", "BLOCK", "1000",
                                      "STREAMS", o_.stream, ">"});
        if (!fresh) return false;
        if (fresh->type == REDIS_REPLY_ARRAY)
            for (std::size_t s = 0; s < fresh->elements; ++s)
                if (fresh->element[s]->type == REDIS_REPLY_ARRAY && fresh->element[s]->elements == 2)
                    for (const Entry& e : queue::entries_of(fresh->element[s]->element[1]))
                        if (!handle(e, 1)) return false;
        return true;
    }

private:
    // How often the entry has been delivered (XPENDING), 1 when unknown.
    long long deliveries(const std::string& id) {
        const auto r = link_.run({"XPENDING", o_.stream, o_.group, id, id, "1"});
        if (r && r->type == REDIS_REPLY_ARRAY && r->elements == 1 && r->element[0]->type == REDIS_REPLY_ARRAY &&
            r->element[0]->elements == 4 && r->element[0]->element[3]->type == REDIS_REPLY_INTEGER)
            return r->element[0]->element[3]->integer;
        return 1;
    }

    // Appends to `stream` and acknowledges the job, atomically.
    bool finish(const std::string& stream, const Entry& job, std::vector<std::string> fields) {
        std::vector<std::string> add = {"XADD", stream, "*"};
        add.insert(add.end(), fields.begin(), fields.end());
        for (const auto& [k, v] : job.fields)
            if (!is_job_input(k)) add.insert(add.end(), {k, v});
        return link_.run({"MULTI"}) && link_.run(add) && link_.run({"XACK", o_.stream, o_.group, job.id}) &&
               link_.run({"EXEC"});
    }

    bool handle(const Entry& job, long long delivered) {
        const std::string* given = job.field("id");
        const std::string id = given != nullptr ? *given : job.id;
        if (job.deleted) return static_cast<bool>(link_.run({"XACK", o_.stream, o_.group, job.id}));
        if (delivered > o_.max_deliveries)
            return finish(o_.dead, job,
                          {"id", id, "entry", job.id, "deliveries", std::to_string(delivered), "reason",
                           "delivered " + std::to_string(delivered) + " times; the workers ended while reading it"});
        std::vector<std::uint8_t> bytes;
        std::string why = job_image(job, bytes);
        BytesReading b;
        if (why.empty()) {
            b = read_image_bytes(bytes, engine_.request(), o_.reading.max_pixels);
            if (b.fault != BytesReading::Fault::none) why = b.error;
        }
        if (!why.empty()) {
            if (!o_.reading.quiet) std::fprintf(stderr, "platix worker: job %s: %s\n", id.c_str(), why.c_str());
            // Left pending: taken again after --claim-after, until the last delivery.
            if (delivered < o_.max_deliveries) return true;
            return finish(o_.dead, job,
                          {"id", id, "entry", job.id, "deliveries", std::to_string(delivered), "reason", why});
        }
        const auto& rq = engine_.request();
        return finish(o_.results, job,
                      {"id", id, "entry", job.id, "consumer", consumer_, "result",
                       image_json_object(b.result, rq.analysis, rq.recognition.region != Region::none)});
    }

    const WorkerOptions& o_;
    RedisLink& link_;
    const ReadingEngine& engine_;
    std::string consumer_;
};

}  // namespace

int run_worker(const WorkerOptions& o) {
    ReadingEngine engine(o.reading);
    if (!engine.error().empty()) {
        std::fprintf(stderr, "platix worker: %s\n", engine.error().c_str());
        return 1;
    }
    RedisLink link(o.redis);
    if (!link.ok()) {
        std::fprintf(stderr, "platix worker: %s\n", link.error().c_str());
        return 1;
    }
    std::string consumer = o.consumer;
    if (consumer.empty()) {
        char host[HOST_NAME_MAX + 1] = {};
        ::gethostname(host, sizeof host - 1);
        consumer = std::string(host) + "-" + std::to_string(::getpid());
    }
    Worker worker(o, link, engine, consumer);
    if (!worker.ensure_group()) {
        if (!link.ok()) std::fprintf(stderr, "platix worker: %s\n", link.error().c_str());
        return 1;
    }
    g_stop = 0;
    ::signal(SIGTERM, ask_stop);
    ::signal(SIGINT, ask_stop);
    if (!o.reading.quiet)
        std::fprintf(stderr, "platix worker: %s reading %s (group %s)\n", consumer.c_str(), o.stream.c_str(),
                     o.group.c_str());
    while (!g_stop)
        if (!worker.round()) {
            std::fprintf(stderr, "platix worker: %s\n", link.error().c_str());
            return 1;
        }
    return 0;
}

}  // namespace platix
