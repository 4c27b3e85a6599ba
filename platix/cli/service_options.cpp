// Parsing the options of serve, worker and enqueue.
#include "service_options.h"

#include <cstdlib>
#include <functional>

#include "plate_syntax.h"

namespace platix {

namespace {

// Walks "--name value" and "--name=value" pairs; `valued` says which names
// take a value, `take` handles one, `loose` takes the other arguments.
void walk(const std::vector<std::string>& args, const std::vector<std::string>& valued,
          const std::function<void(const std::string&, const std::string&)>& take,
          const std::function<void(const std::string&)>& loose) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        if (name.size() < 2 || name.compare(0, 2, "--") != 0) {
            loose(name);
            continue;
        }
        const auto eq = name.find('=');
        const bool inline_value = eq != std::string::npos;
        if (inline_value) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        bool wants = false;
        for (const auto& v : valued) wants = wants || v == name;
        if (wants && !inline_value) {
            if (i + 1 >= args.size()) throw UsageError(name + ": a value is needed");
            value = args[++i];
        } else if (!wants && inline_value) {
            throw UsageError(name + " takes no value");
        }
        take(name, value);
    }
}

bool reading_setup(const std::string& n, const std::string& v, ReadingSetup& r) {
    if (n == "--kb") r.kbs.push_back(parse_kb_arg(v));
    else if (n == "--depth") r.depth = static_cast<int>(parse_number(v, 1, 5, "--depth"));
    else if (n == "--region") r.recognition.region = parse_region(v);
    else if (n == "--reader") {
        if (v == "box") r.recognition.reader = ReaderKind::box;
        else if (v == "net") r.recognition.reader = ReaderKind::net;
        else throw UsageError("--reader: expected box or net, got '" + v + "'");
    } else if (n == "--model") {
        if (v.empty()) throw UsageError("--model: the file name is empty");
        r.recognition.model = v;
    } else if (n == "--topn") r.recognition.topn = static_cast<int>(parse_number(v, 1, 32, "--topn"));
    else if (n == "--max-pixels") r.max_pixels = parse_number(v, 1, 1L << 28, "--max-pixels");
    else if (n == "--basic-analysis") r.analysis = AnalysisKind::basic;
    else if (n == "--quiet" || n == "-q") r.quiet = true;
    else return false;
    return true;
}

const std::vector<std::string> kReadingValued = {"--kb",     "--depth", "--region", "--max-pixels",
                                                 "--reader", "--model", "--topn"};

std::vector<std::string> with_reading(std::vector<std::string> v) {
    v.insert(v.end(), kReadingValued.begin(), kReadingValued.end());
    return v;
}

// Seconds with an optional fraction, from 0 to `high`.
double parse_seconds(const std::string& text, double high, const std::string& what) {
    char* end = nullptr;
    const double v = text.empty() || text[0] == '-' || text[0] == '+' ? -1 : std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0' || !(v >= 0 && v <= high))
        throw UsageError(what + ": expected seconds from 0 to " + std::to_string(static_cast<int>(high)) + ", got '" +
                         text + "'");
    return v;
}

[[noreturn]] void unknown(const std::string& name, const char* command) {
    throw UsageError("unknown option '" + name + "' for " + command + " (see platix " + command + " --help)");
}

const char* kReadingHelp =
    "  --kb FILE[:TYPE]     knowledge base (repeatable; default: the bundled one)\n"
    "  --depth N            analysis depth 1-5 (default 3)\n"
    "  --region R           eu, us or br: read with that region's plate syntaxes\n"
    "  --model FILE         the learned reader's model (platix train --reader net);\n"
    "                       with it the learned reader reads the fields\n"
    "  --reader R           box (the box-net engine of --kb) or net (the learned\n"
    "                       reader of --model); default net when --model is given\n"
    "  --topn N             candidates the learned reader lists per field (default 10)\n"
    "  --max-pixels N       refuse pictures of more pixels (default 40000000)\n"
    "  --basic-analysis     the basic analysis instead of the extended one\n"
    "  -q, --quiet          no notes on stderr\n";

}  // namespace

void parse_listen(const std::string& text, std::string& host, int& port) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) throw UsageError("--listen: expected HOST:PORT, got '" + text + "'");
    host = text.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    port = static_cast<int>(parse_number(text.substr(colon + 1), 0, 65535, "--listen port"));
}

ServeOptions parse_serve_options(const std::vector<std::string>& args) {
    ServeOptions o;
    walk(args, with_reading({"--listen", "--workers", "--max-body", "--time-limit", "--token-file"}),
         [&](const std::string& n, const std::string& v) {
             if (n == "--help" || n == "-h") o.help = true;
             else if (reading_setup(n, v, o.reading)) {
             } else if (n == "--listen") parse_listen(v, o.host, o.port);
             else if (n == "--workers") o.workers = static_cast<int>(parse_number(v, 1, 256, "--workers"));
             else if (n == "--max-body") o.max_body = static_cast<std::size_t>(parse_number(v, 1, 1L << 30, "--max-body"));
             else if (n == "--time-limit") o.time_limit = parse_seconds(v, 3600, "--time-limit");
             else if (n == "--token-file") {
                 if (v.empty()) throw UsageError("--token-file: the file name is empty");
                 o.token_file = v;
             } else unknown(n, "serve");
         },
         [&](const std::string& a) {
             if (a == "-h") o.help = true;
             else if (a == "-q") o.reading.quiet = true;
             else throw UsageError("serve: unexpected argument '" + a + "'");
         });
    return o;
}

WorkerOptions parse_worker_options(const std::vector<std::string>& args) {
    WorkerOptions o;
    walk(args, with_reading({"--redis", "--stream", "--group", "--consumer", "--results", "--dead", "--claim-after",
                             "--max-deliveries"}),
         [&](const std::string& n, const std::string& v) {
             if (n == "--help") o.help = true;
             else if (reading_setup(n, v, o.reading)) {
             } else if (n == "--redis") o.redis = v;
             else if (n == "--stream") o.stream = v;
             else if (n == "--group") o.group = v;
             else if (n == "--consumer") o.consumer = v;
             else if (n == "--results") o.results = v;
             else if (n == "--dead") o.dead = v;
             else if (n == "--claim-after")
                 o.claim_after_ms = static_cast<int>(parse_number(v, 1, 86400000, "--claim-after (milliseconds)"));
             else if (n == "--max-deliveries") o.max_deliveries = static_cast<int>(parse_number(v, 1, 1000, "--max-deliveries"));
             else unknown(n, "worker");
         },
         [&](const std::string& a) {
             if (a == "-h") o.help = true;
             else if (a == "-q") o.reading.quiet = true;
             else throw UsageError("worker: unexpected argument '" + a + "'");
         });
    for (const std::string* s : {&o.stream, &o.group})
        if (s->empty()) throw UsageError("worker: --stream and --group must not be empty");
    if (o.results.empty()) o.results = o.stream + ":results";
    if (o.dead.empty()) o.dead = o.stream + ":dead";
    return o;
}

EnqueueOptions parse_enqueue_options(const std::vector<std::string>& args) {
    EnqueueOptions o;
    walk(args, {"--redis", "--stream", "--camera"},
         [&](const std::string& n, const std::string& v) {
             if (n == "--help") o.help = true;
             else if (n == "--redis") o.redis = v;
             else if (n == "--stream") o.stream = v;
             else if (n == "--camera") o.camera = v;
             else if (n == "--by-path") o.by_path = true;
             else unknown(n, "enqueue");
         },
         [&](const std::string& a) {
             if (a == "-h") o.help = true;
             else o.paths.push_back(a);
         });
    if (!o.help && o.paths.empty()) throw UsageError("enqueue: no image file or folder given");
    return o;
}

std::string serve_help() {
    return std::string(
               "usage: platix serve [options]\n"
               "Reads images posted over HTTP: POST /v1/read (the image as the body, or the\n"
               "multipart/form-data field 'image'; query options region, depth, topn), GET /v1/health,\n"
               "GET /v1/metrics (Prometheus text).\n"
               "  --listen HOST:PORT   address to listen on (default 127.0.0.1:8080; port 0: any)\n"
               "  --workers N          worker processes, each with its own bases (default 2)\n"
               "  --max-body BYTES     largest request body (default 20971520)\n"
               "  --time-limit S       seconds one reading may take (default 30; fractions allowed,\n"
               "                       0: no limit); a reading past it, or one that crashes,\n"
               "                       gets a 500 and the worker goes on serving\n"
               "  --token-file FILE    require 'Authorization: Bearer TOKEN' (first line of FILE);\n"
               "                       without it only loopback addresses are accepted\n") +
           kReadingHelp;
}

std::string worker_help() {
    return std::string(
               "usage: platix worker [options]\n"
               "Reads the jobs of a Redis Stream through a consumer group and appends each\n"
               "result to the result stream, then acknowledges the job (at least once).\n"
               "  --redis URL          redis://HOST:PORT (default redis://127.0.0.1:6379)\n"
               "  --stream NAME        the job stream (default platix:jobs)\n"
               "  --group NAME         the consumer group (default platix)\n"
               "  --consumer NAME      this worker's name (default HOST-PID)\n"
               "  --results NAME       the result stream (default STREAM:results)\n"
               "  --dead NAME          the dead-letter stream (default STREAM:dead)\n"
               "  --claim-after MS     take over jobs pending longer than this (default 30000)\n"
               "  --max-deliveries N   a job delivered N times without success is dead (default 3)\n") +
           kReadingHelp;
}

std::string enqueue_help() {
    return "usage: platix enqueue [options] FILE|FOLDER...\n"
           "Appends one job per image to a Redis Stream (fields id, image or path, camera, time).\n"
           "  --redis URL          redis://HOST:PORT (default redis://127.0.0.1:6379)\n"
           "  --stream NAME        the job stream (default platix:jobs)\n"
           "  --by-path            send the path (readable by the workers), not the bytes\n"
           "  --camera NAME        camera name passed through to the results\n";
}

}  // namespace platix
