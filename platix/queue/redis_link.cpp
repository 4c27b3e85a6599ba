// hiredis behind a small owning wrapper.
#include "queue/redis_link.h"

#include <hiredis.h>

#include "options.h"

namespace platix::queue {

void ReplyFree::operator()(redisReply* r) const { freeReplyObject(r); }

bool parse_redis_url(const std::string& url, std::string& host, int& port) {
    const std::string scheme = "redis://";
    if (url.compare(0, scheme.size(), scheme) != 0) return false;
    std::string rest = url.substr(scheme.size());
    if (const auto slash = rest.find('/'); slash != std::string::npos) rest.resize(slash);
    const auto colon = rest.rfind(':');
    host = rest.substr(0, colon);
    port = 6379;
    if (colon != std::string::npos) {
        try {
            port = static_cast<int>(parse_number(rest.substr(colon + 1), 1, 65535, "port"));
        } catch (const UsageError&) {
            return false;
        }
    }
    return !host.empty();
}

RedisLink::RedisLink(const std::string& url) {
    std::string host;
    int port = 0;
    if (!parse_redis_url(url, host, port)) {
        error_ = "not a redis://HOST:PORT address: " + url;
        return;
    }
    context_ = redisConnect(host.c_str(), port);
    if (context_ == nullptr) error_ = "out of memory for the Redis connection";
    else if (context_->err) error_ = "cannot connect to Redis at " + host + ":" + std::to_string(port) + ": " + context_->errstr;
}

RedisLink::~RedisLink() {
    if (context_ != nullptr) redisFree(context_);
}

Reply RedisLink::run(const std::vector<std::string>& args) {
    if (!ok()) return nullptr;
    std::vector<const char*> argv;
    std::vector<std::size_t> lengths;
    for (const auto& a : args) {
        argv.push_back(a.data());
        lengths.push_back(a.size());
    }
    auto* r = static_cast<redisReply*>(
        redisCommandArgv(context_, static_cast<int>(argv.size()), argv.data(), lengths.data()));
    if (r == nullptr) error_ = std::string("Redis connection lost: ") + context_->errstr;
    return Reply(r);
}

const std::string* Entry::field(const std::string& name) const {
    for (const auto& [k, v] : fields)
        if (k == name) return &v;
    return nullptr;
}

std::vector<Entry> entries_of(const redisReply* array) {
    std::vector<Entry> out;
    if (array == nullptr || array->type != REDIS_REPLY_ARRAY) return out;
    for (std::size_t i = 0; i < array->elements; ++i) {
        const redisReply* e = array->element[i];
        if (e->type != REDIS_REPLY_ARRAY || e->elements < 2 || e->element[0]->type != REDIS_REPLY_STRING) continue;
        Entry entry;
        entry.id.assign(e->element[0]->str, e->element[0]->len);
        const redisReply* kv = e->element[1];
        if (kv->type != REDIS_REPLY_ARRAY) entry.deleted = true;
        else
            for (std::size_t k = 0; k + 1 < kv->elements; k += 2)
                entry.fields.emplace_back(std::string(kv->element[k]->str, kv->element[k]->len),
                                          std::string(kv->element[k + 1]->str, kv->element[k + 1]->len));
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace platix::queue
