// A connection to Redis through hiredis, with the few commands the queue
// uses: binary-safe argument lists in, replies owned and freed here.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct redisContext;
struct redisReply;

namespace platix::queue {

struct ReplyFree {
    void operator()(redisReply* r) const;
};
using Reply = std::unique_ptr<redisReply, ReplyFree>;

class RedisLink {
public:
    // Connects to "redis://HOST:PORT" (port 6379 when left out); error()
    // says why when it could not.
    explicit RedisLink(const std::string& url);
    ~RedisLink();
    RedisLink(const RedisLink&) = delete;
    RedisLink& operator=(const RedisLink&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    // Runs one command; null when the connection failed (error() says
    // why). A Redis error reply is returned as a reply, not as a failure.
    Reply run(const std::vector<std::string>& args);

private:
    redisContext* context_ = nullptr;
    std::string error_;
};

// Splits "redis://HOST:PORT"; false when it is not of that form.
bool parse_redis_url(const std::string& url, std::string& host, int& port);

// A stream entry: its id and field/value pairs in order.
struct Entry {
    std::string id;
    std::vector<std::pair<std::string, std::string>> fields;
    bool deleted = false;  // claimed but no longer in the stream
    const std::string* field(const std::string& name) const;
};

// The entries of an array reply of [id, [field, value, ...]] pairs.
std::vector<Entry> entries_of(const redisReply* array);

}  // namespace platix::queue
