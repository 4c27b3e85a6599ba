// platix enqueue: one job per image file into a Redis Stream, for trying
// the workers out.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include <hiredis.h>

#include "decode/page_loader.h"
#include "queue/redis_link.h"
#include "service_options.h"
#include "walk.h"

namespace platix {

namespace {

std::string utc_now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return text;
}

}  // namespace

int run_enqueue(const EnqueueOptions& o) {
    queue::RedisLink link(o.redis);
    if (!link.ok()) {
        std::fprintf(stderr, "platix enqueue: %s\n", link.error().c_str());
        return 1;
    }
    int queued = 0, failed = 0;
    for (const InputFile& in : expand_inputs(o.paths)) {
        if (in.from_folder && !decode::looks_like_image(in.path)) continue;
        std::vector<std::string> add = {"XADD", o.stream, "*", "id", in.path};
        if (o.by_path) {
            add.insert(add.end(), {"path", in.path});
        } else {
            std::ifstream file(in.path, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "platix enqueue: %s: cannot open the file\n", in.path.c_str());
                ++failed;
                continue;
            }
            add.insert(add.end(), {"image", std::string(std::istreambuf_iterator<char>(file), {})});
        }
        if (!o.camera.empty()) add.insert(add.end(), {"camera", o.camera});
        add.insert(add.end(), {"time", utc_now()});
        const auto r = link.run(add);
        if (!r || r->type == REDIS_REPLY_ERROR) {
            std::fprintf(stderr, "platix enqueue: %s: %s\n", in.path.c_str(),
                         r ? std::string(r->str, r->len).c_str() : link.error().c_str());
            return 1;
        }
        std::printf("%.*s\t%s\n", static_cast<int>(r->len), r->str, in.path.c_str());
        ++queued;
    }
    std::fprintf(stderr, "platix enqueue: %d job%s added to %s\n", queued, queued == 1 ? "" : "s", o.stream.c_str());
    return failed > 0 ? 1 : 0;
}

}  // namespace platix
