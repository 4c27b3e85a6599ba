// Options of the commands that read for others: `platix serve` (HTTP),
// `platix worker` (a Redis Stream consumer) and `platix enqueue`. Parsing
// never exits: bad input throws UsageError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "options.h"

namespace platix {

// What every reading process loads and how it reads by default.
struct ReadingSetup {
    std::vector<KbArg> kbs;
    RecognitionSettings recognition;
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    std::int64_t max_pixels = std::int64_t{40} * 1000 * 1000;  // larger pictures are refused unread
    bool quiet = false;
};

struct ServeOptions {
    bool help = false;
    std::string host = "127.0.0.1";
    int port = 8080;  // 0: any free port (printed on stderr)
    int workers = 2;
    ReadingSetup reading;
    std::size_t max_body = std::size_t{20} << 20;  // bytes
    double time_limit = 30;                        // seconds per reading; 0: none
    std::string token_file;                        // bearer token required when set
};

struct WorkerOptions {
    bool help = false;
    std::string redis = "redis://127.0.0.1:6379";
    std::string stream = "platix:jobs";
    std::string group = "platix";
    std::string consumer;  // default: HOST-PID
    std::string results;   // default: STREAM:results
    std::string dead;      // default: STREAM:dead
    int claim_after_ms = 30000;
    int max_deliveries = 3;
    ReadingSetup reading;
};

struct EnqueueOptions {
    bool help = false;
    std::string redis = "redis://127.0.0.1:6379";
    std::string stream = "platix:jobs";
    bool by_path = false;  // send paths (readable by the workers) instead of the bytes
    std::string camera;
    std::vector<std::string> paths;
};

// "HOST:PORT" with a numeric port (0-65535); throws UsageError.
void parse_listen(const std::string& text, std::string& host, int& port);

ServeOptions parse_serve_options(const std::vector<std::string>& args);
WorkerOptions parse_worker_options(const std::vector<std::string>& args);
EnqueueOptions parse_enqueue_options(const std::vector<std::string>& args);

std::string serve_help();
std::string worker_help();
std::string enqueue_help();

int run_serve(const ServeOptions& options);
int run_worker(const WorkerOptions& options);
int run_enqueue(const EnqueueOptions& options);

}  // namespace platix
