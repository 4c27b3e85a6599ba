// platix serve: an HTTP/1.1 service in a pre-fork model. The supervisor
// reserves the address, then forks the workers; each loads its own bases
// and listens on the same address (SO_REUSEPORT, the kernel spreads the
// connections), reading one image at a time. The readings run in a child
// of the worker, so that a reading that crashes or overruns the time limit
// ends that child only and its request still gets a JSON answer (500).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "plate_syntax.h"
#include "read_bytes.h"
#include "serve/prefork.h"
#include "serve/reader_child.h"
#include "serve/shared_stats.h"
#include "service_options.h"

namespace platix {

namespace {

using serve::SharedStats;

bool is_loopback(const std::string& host) { return host == "127.0.0.1" || host == "::1" || host == "localhost"; }

void json_error(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content(nlohmann::json{{"ok", false}, {"error", why}}.dump(), "application/json");
}

std::string read_token(const std::string& path) {
    std::ifstream in(path);
    std::string token;
    if (!in || !std::getline(in, token)) throw UsageError("--token-file: cannot read " + path);
    while (!token.empty() && (token.back() == '\r' || token.back() == ' ')) token.pop_back();
    if (token.empty()) throw UsageError("--token-file: the first line of " + path + " is empty");
    return token;
}

// Binds (without listening) a socket that keeps the address, so that the
// port stays ours while workers come and go; port 0 picks a free one.
// Returns the descriptor and sets `port`, or -1.
int reserve_address(const std::string& host, int& port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) return -1;
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
    port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    return fd;
}

// The request's reading options on top of the service's defaults; returns
// "" or why they are refused.
std::string request_options(const httplib::Request& req, AnalysisRequest& rq) {
    const auto value = [&](const char* name, std::string& out) {
        if (req.has_param(name)) out = req.get_param_value(name);
        else if (req.has_file(name)) out = req.get_file_value(name).content;
        else return false;
        return true;
    };
    std::string v;
    try {
        if (value("region", v)) rq.recognition.region = v.empty() || v == "none" ? Region::none : parse_region(v);
        if (value("depth", v)) rq.depth = static_cast<int>(parse_number(v, 1, 5, "depth"));
        if (value("topn", v)) rq.recognition.topn = static_cast<int>(parse_number(v, 1, 32, "topn"));
    } catch (const UsageError& e) {
        return e.what();
    }
    return "";
}

using serve::Answer;
using serve::error_answer;

Answer answer_of(const BytesReading& b, const AnalysisRequest& rq) {
    using F = BytesReading::Fault;
    switch (b.fault) {
    case F::none: break;
    case F::not_image: return error_answer(415, b.error);
    case F::damaged: return error_answer(400, b.error);
    case F::too_large: return error_answer(413, b.error);
    case F::failed: return error_answer(500, b.error);
    }
    return {200, image_json_object(b.result, rq.analysis, rq.recognition.region != Region::none)};
}

// The request's image: the multipart field "image", else the body.
std::string image_of(const httplib::Request& req) {
    if (req.is_multipart_form_data()) return req.has_file("image") ? req.get_file_value("image").content : "";
    return req.body;
}

thread_local std::chrono::steady_clock::time_point t_request_start;

int serve_worker(const ServeOptions& o, int port, const std::string& token, SharedStats& stats) {
    ReadingEngine engine(o.reading);
    if (!engine.error().empty()) {
        std::fprintf(stderr, "platix serve: %s\n", engine.error().c_str());
        return serve::kWorkerCannotStart;
    }
    // The readings run in a child of this worker (see reader_child.h).
    serve::ReaderChild reader([&](const serve::ReadJob& job) {
        AnalysisRequest rq = engine.request();
        rq.recognition.region = static_cast<Region>(job.region);
        rq.depth = job.depth;
        rq.recognition.topn = job.topn;
        const std::vector<std::uint8_t> bytes(job.image.begin(), job.image.end());
        return answer_of(read_image_bytes(bytes, rq, o.reading.max_pixels), rq);
    });
    if (!reader.start()) {
        std::fprintf(stderr, "platix serve: cannot start a reading process\n");
        return serve::kWorkerCannotStart;
    }
    httplib::Server svr;
    // A few connections at once (keep-alive clients must not starve the
    // others); the reading itself is one at a time, the libraries keep
    // module state.
    svr.new_task_queue = [] { return new httplib::ThreadPool(4); };
    std::mutex reading;
    svr.set_payload_max_length(o.max_body);
    svr.set_keep_alive_timeout(2);

    svr.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        t_request_start = std::chrono::steady_clock::now();
        if (token.empty() || req.get_header_value("Authorization") == "Bearer " + token)
            return httplib::Server::HandlerResponse::Unhandled;
        res.set_header("WWW-Authenticate", "Bearer");
        json_error(res, 401, "a valid bearer token is required");
        return httplib::Server::HandlerResponse::Handled;
    });
    svr.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        const char* why = res.status == 413   ? "the request body is larger than the service takes"
                          : res.status == 404 ? "no such resource"
                                              : "the request was refused";
        json_error(res, res.status, why);
    });
    svr.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        json_error(res, 500, "internal error");
    });
    svr.set_logger([&](const httplib::Request& req, const httplib::Response& res) {
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t_request_start).count();
        serve::record_request(stats, res.status, req.method == "POST" && req.path == "/v1/read", s);
    });

    svr.Post("/v1/read", [&](const httplib::Request& req, httplib::Response& res) {
        AnalysisRequest rq = engine.request();
        if (const std::string bad = request_options(req, rq); !bad.empty()) return json_error(res, 400, bad);
        std::string body = image_of(req);
        if (body.empty()) return json_error(res, 400, "no image: send it as the body or as the form field 'image'");
        serve::ReadJob job;
        job.image = std::move(body);
        job.region = static_cast<int>(rq.recognition.region);
        job.depth = rq.depth;
        job.topn = rq.recognition.topn;
        Answer a;
        {
            std::lock_guard<std::mutex> lock(reading);
            a = reader.ask(job, o.time_limit);
        }
        res.status = a.status;
        res.set_content(a.body, "application/json");
    });
    svr.Get("/v1/health", [&](const httplib::Request&, httplib::Response& res) {
        nlohmann::json kbs = nlohmann::json::array();
        for (const auto& kb : engine.kbs()) kbs.push_back(kb.path);
        res.set_content(nlohmann::json{{"ok", true},
                                       {"workers", stats.workers_alive.load()},
                                       {"workers_wanted", o.workers},
                                       {"model_loaded", engine.request().io != nullptr || engine.request().model != nullptr},
                                       {"reader", engine.request().model != nullptr ? "net" : "box"},
                                       {"knowledge_bases", kbs},
                                       {"pid", static_cast<long>(::getpid())}}
                            .dump(),
                        "application/json");
    });
    svr.Get("/v1/metrics", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(serve::prometheus_text(stats, serve::steady_ms()), "text/plain; version=0.0.4");
    });

    if (!svr.bind_to_port(o.host, port)) {
        std::fprintf(stderr, "platix serve: cannot listen on %s:%d\n", o.host.c_str(), port);
        return serve::kWorkerCannotStart;
    }
    svr.listen_after_bind();
    return 0;
}

}  // namespace

int run_serve(const ServeOptions& o) {
    const std::string token = o.token_file.empty() ? "" : read_token(o.token_file);
    if (token.empty() && !is_loopback(o.host))
        throw UsageError("serve: without --token-file the service listens on loopback addresses only");
    SharedStats* stats = serve::map_shared_stats();
    if (stats == nullptr) {
        std::fprintf(stderr, "platix serve: cannot map the shared counters\n");
        return 1;
    }
    int port = o.port;
    const int reserve = reserve_address(o.host, port);
    if (reserve < 0) {
        std::fprintf(stderr, "platix serve: cannot bind %s:%d\n", o.host.c_str(), o.port);
        return 1;
    }
    stats->started_ms = serve::steady_ms();
    std::fprintf(stderr, "platix serve: listening on %s:%d with %d worker%s\n", o.host.c_str(), port, o.workers,
                 o.workers == 1 ? "" : "s");
    std::fflush(stderr);
    const int status = serve::run_prefork(
        o.workers,
        [&](int) {
            ::close(reserve);
            return serve_worker(o, port, token, *stats);
        },
        [&](int alive, int replaced) {
            stats->workers_alive = alive;
            stats->workers_replaced = replaced;
        });
    ::close(reserve);
    return status;
}

}  // namespace platix
