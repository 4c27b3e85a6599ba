// platix: the command-line entry point; picks the subcommand and turns
// usage errors into a one-line message and exit status 2.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "orvosys.h"
#include "service_options.h"

int main(int argc, char** argv) {
    using namespace platix;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(main_help().c_str(), stderr);
        return 2;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        const int processors = osys_processor_count();
        if (command == "--help" || command == "-h" || command == "help") {
            std::fputs(main_help().c_str(), stdout);
            return 0;
        }
        if (command == "--version" || command == "version") {
            std::printf("platix %s\n", ORVO_VERSION);
            return 0;
        }
        if (command == "read") {
            const auto o = parse_read_options(args, processors);
            if (o.help) return std::fputs(read_help().c_str(), stdout), 0;
            return run_read(o);
        }
        if (command == "train") {
            const auto o = parse_train_options(args, processors);
            if (o.help) return std::fputs(train_help().c_str(), stdout), 0;
            return run_train(o);
        }
        if (command == "bench") {
            const auto o = parse_bench_options(args, processors);
            if (o.help) return std::fputs(bench_help().c_str(), stdout), 0;
            return run_bench(o);
        }
        if (command == "synth") {
            const auto o = parse_synth_options(args);
            if (o.help) return std::fputs(synth_help().c_str(), stdout), 0;
            return run_synth(o);
        }
        if (command == "serve") {
            const auto o = parse_serve_options(args);
            if (o.help) return std::fputs(serve_help().c_str(), stdout), 0;
            return run_serve(o);
        }
        if (command == "worker") {
            const auto o = parse_worker_options(args);
            if (o.help) return std::fputs(worker_help().c_str(), stdout), 0;
            return run_worker(o);
        }
        if (command == "enqueue") {
            const auto o = parse_enqueue_options(args);
            if (o.help) return std::fputs(enqueue_help().c_str(), stdout), 0;
            return run_enqueue(o);
        }
        if (command == "watch") {
            const auto o = parse_watch_options(args);
            if (o.help) return std::fputs(watch_help().c_str(), stdout), 0;
            return run_watch(o);
        }
        throw UsageError("unknown command '" + command + "' (see platix --help)");
    } catch (const UsageError& e) {
        std::fprintf(stderr, "platix: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "platix: %s\n", e.what());
        return 1;
    }
}
