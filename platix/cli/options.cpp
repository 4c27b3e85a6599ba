// Parsing of the platix subcommand options into their option records.
#include "options.h"

#include <filesystem>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "augment.h"
#include "plate_syntax.h"

namespace platix {

namespace {

// Walks the argument list, splitting "--name=value" and handing values of
// options that take one. Anything not starting with '-' (and everything
// after "--") is an operand.
class ArgWalker {
public:
    explicit ArgWalker(const std::vector<std::string>& args) : args_(args) {}

    // Runs through the arguments; `takes_value(name)` says whether the
    // option needs a value, `option(name, value)` handles it (throws for an
    // unknown name), `operand(text)` takes an operand.
    void run(const std::function<bool(const std::string&)>& takes_value,
             const std::function<void(const std::string&, const std::string&)>& option,
             const std::function<void(const std::string&)>& operand) {
        bool options_done = false;
        for (std::size_t i = 0; i < args_.size(); ++i) {
            const std::string& a = args_[i];
            if (options_done || a.size() < 2 || a[0] != '-') {
                operand(a);
                continue;
            }
            if (a == "--") {
                options_done = true;
                continue;
            }
            std::string name = a;
            std::string value;
            bool has_value = false;
            const auto eq = a.find('=');
            if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                has_value = true;
            }
            if (name == "-h") name = "--help";
            if (takes_value(name)) {
                if (!has_value) {
                    if (i + 1 >= args_.size()) throw UsageError("option " + name + " needs a value");
                    value = args_[++i];
                }
            } else if (has_value) {
                throw UsageError("option " + name + " takes no value");
            }
            option(name, value);
        }
    }

private:
    const std::vector<std::string>& args_;
};

[[noreturn]] void unknown(const std::string& name, const std::string& command) {
    throw UsageError("unknown option " + name + " for '" + command + "' (see platix " + command + " --help)");
}

int parse_kind(const std::string& v) {
    if (v == "any") return 0;
    if (v == "digits") return 1;
    if (v == "letters") return 2;
    throw UsageError("--kind: expected digits, letters or any, got '" + v + "'");
}

OutputFormat parse_format(const std::string& v) {
    if (v == "text") return OutputFormat::text;
    if (v == "json") return OutputFormat::json;
    if (v == "csv") return OutputFormat::csv;
    throw UsageError("--format: expected text, json or csv, got '" + v + "'");
}

}  // namespace

long parse_number(const std::string& text, long low, long high, const std::string& what) {
    const std::string range = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    if (text.empty() || text.size() > 18) throw UsageError(what + ": expected " + range + ", got '" + text + "'");
    for (char c : text) {
        if (c < '0' || c > '9') throw UsageError(what + ": expected " + range + ", got '" + text + "'");
    }
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < low || v > high) throw UsageError(what + ": expected " + range + ", got '" + text + "'");
    return v;
}

KbArg parse_kb_arg(const std::string& text) {
    KbArg kb;
    kb.path = text;
    const auto colon = text.rfind(':');
    if (colon != std::string::npos && colon + 1 < text.size()) {
        const std::string type = text.substr(colon + 1);
        static const std::map<std::string, int> names = {{"any", 0}, {"digits", 1}, {"letters", 2}};
        const auto named = names.find(type);
        bool numeric = type.size() <= 3;
        for (char c : type) numeric = numeric && c >= '0' && c <= '9';
        if (named != names.end()) {
            kb.type = named->second;
            kb.path = text.substr(0, colon);
        } else if (numeric) {
            kb.type = static_cast<int>(parse_number(type, 0, 255, "--kb type"));
            kb.path = text.substr(0, colon);
        }
    }
    if (kb.path.empty()) throw UsageError("--kb: the knowledge-base path is empty");
    return kb;
}

// The switches every command takes: help, quiet, and the documented
// analysis instead of the extended one. Returns false when n is none of them.
template <class Options>
static bool common_switch(const std::string& n, Options& o) {
    if (n == "--help") o.help = true;
    else if (n == "--quiet" || n == "-q") o.quiet = true;
    else if (n == "--basic-analysis") o.analysis = AnalysisKind::basic;
    else return false;
    return true;
}

// The options that read and bench share: the bases, how fields are read,
// the depth and the number of jobs. Returns false when n is none of them.
static bool reading_option(const std::string& n, const std::string& v, std::vector<KbArg>& kbs,
                    RecognitionSettings& recognition, int& depth, int& jobs) {
    if (n == "--kb") kbs.push_back(parse_kb_arg(v));
    else if (n == "--kind") recognition.kb_mode = parse_kind(v);
    else if (n == "--template") {
        if (v.size() > 2050) throw UsageError("--template: longer than 2050 characters");
        recognition.text_template = v;
    } else if (n == "--depth") depth = static_cast<int>(parse_number(v, 1, 5, "--depth"));
    else if (n == "--jobs") jobs = static_cast<int>(parse_number(v, 1, 256, "--jobs"));
    else if (n == "--region") recognition.region = parse_region(v);
    else if (n == "--reader") {
        if (v == "box") recognition.reader = ReaderKind::box;
        else if (v == "net") recognition.reader = ReaderKind::net;
        else throw UsageError("--reader: expected box or net, got '" + v + "'");
    } else if (n == "--model") {
        if (v.empty()) throw UsageError("--model: the file name is empty");
        recognition.model = v;
    } else if (n == "--topn") recognition.topn = static_cast<int>(parse_number(v, 1, 32, "--topn"));
    else if (n == "--single-pass") recognition.windows = false;
    else return false;
    return true;
}

ReadOptions parse_read_options(const std::vector<std::string>& args, int processors) {
    ReadOptions o;
    o.jobs = processors < 1 ? 1 : processors;
    static const std::vector<std::string> valued = {"--kb",       "--kind",   "--template", "--depth",
                                                    "--jobs",     "--format", "--annotate", "--region",
                                                    "--max-pixels", "--reader", "--model",  "--topn"};
    ArgWalker(args).run(
        [&](const std::string& n) { return std::find(valued.begin(), valued.end(), n) != valued.end(); },
        [&](const std::string& n, const std::string& v) {
            if (common_switch(n, o)) {
            } else if (reading_option(n, v, o.kbs, o.recognition, o.depth, o.jobs)) {
            } else if (n == "--format") o.format = parse_format(v);
            else if (n == "--max-pixels") o.max_pixels = parse_number(v, 1, 1L << 40, "--max-pixels");
            else if (n == "--annotate") {
                if (v.empty()) throw UsageError("--annotate: the folder name is empty");
                o.annotate_dir = v;
            } else unknown(n, "read");
        },
        [&](const std::string& p) { o.paths.push_back(p); });
    if (!o.help && o.paths.empty()) throw UsageError("read: no image file or folder given (see platix read --help)");
    return o;
}

WatchOptions parse_watch_options(const std::vector<std::string>& args) {
    WatchOptions o;
    static const std::vector<std::string> valued = {"--kb",    "--kind", "--template", "--depth", "--format",
                                                    "--region", "--every", "--fps",     "--gap",   "--save",
                                                    "--reader", "--model", "--topn"};
    const auto seconds = [](const std::string& v, double low, double high, const std::string& what) {
        char* end = nullptr;
        const double x = std::strtod(v.c_str(), &end);
        if (v.empty() || end == nullptr || *end != '\0' || !(x >= low && x <= high))
            throw UsageError(what + ": expected a number from " + std::to_string(low).substr(0, 4) + " to " +
                             std::to_string(high).substr(0, 6) + ", got '" + v + "'");
        return x;
    };
    ArgWalker(args).run(
        [&](const std::string& n) { return std::find(valued.begin(), valued.end(), n) != valued.end(); },
        [&](const std::string& n, const std::string& v) {
            if (common_switch(n, o)) {
            } else if (n != "--jobs" && n != "--single-pass" && reading_option(n, v, o.kbs, o.recognition, o.depth, o.jobs)) {
            } else if (n == "--format") o.format = parse_format(v);
            else if (n == "--every") o.every = static_cast<int>(parse_number(v, 1, 100000, "--every"));
            else if (n == "--fps") o.fps = seconds(v, 0.01, 1000, "--fps");
            else if (n == "--gap") o.gap = seconds(v, 0.01, 3600, "--gap");
            else if (n == "--reconnect") o.reconnect = true;
            else if (n == "--save") {
                if (v.empty()) throw UsageError("--save: the folder name is empty");
                o.save_dir = v;
            } else unknown(n, "watch");
        },
        [&](const std::string& p) { o.sources.push_back(p); });
    if (!o.help && o.sources.empty()) throw UsageError("watch: no video file or stream given (see platix watch --help)");
    return o;
}

TrainOptions parse_train_options(const std::vector<std::string>& args, int processors) {
    TrainOptions o;
    o.jobs = processors < 1 ? 1 : processors;
    static const std::vector<std::string> synth_valued = {"--synth", "--synth-seed"};
    static const std::vector<std::string> valued = {"--kb",    "--passes", "--augment", "--depth",
                                                    "--jobs",  "--region", "--reader",  "--model",
                                                    "--start", "--epochs", "--minutes", "--seed"};
    ArgWalker(args).run(
        [&](const std::string& n) {
            return std::find(valued.begin(), valued.end(), n) != valued.end() ||
                   std::find(synth_valued.begin(), synth_valued.end(), n) != synth_valued.end();
        },
        [&](const std::string& n, const std::string& v) {
            if (common_switch(n, o)) {
            } else if (n == "--kb") {
                if (!o.kb.empty()) throw UsageError("train: --kb given twice; training writes one knowledge base");
                o.kb = parse_kb_arg(v).path;
            } else if (n == "--passes") o.passes = static_cast<int>(parse_number(v, 1, 100, "--passes"));
            else if (n == "--augment") o.augment = static_cast<int>(parse_number(v, 0, kMostVariants, "--augment"));
            else if (n == "--synth") o.synth = static_cast<int>(parse_number(v, 0, 100000, "--synth"));
            else if (n == "--synth-seed")
                o.synth_seed = static_cast<unsigned long>(parse_number(v, 0, 4294967295L, "--synth-seed"));
            else if (n == "--region") o.region = parse_region(v);
            else if (n == "--depth") o.depth = static_cast<int>(parse_number(v, 1, 5, "--depth"));
            else if (n == "--jobs") o.jobs = static_cast<int>(parse_number(v, 1, 256, "--jobs"));
            else if (n == "--reader") {
                if (v == "box") o.train_box = true, o.train_net = false;
                else if (v == "net") o.train_box = false, o.train_net = true;
                else if (v == "both") o.train_box = true, o.train_net = true;
                else throw UsageError("--reader: expected box, net or both, got '" + v + "'");
            } else if (n == "--model") {
                if (v.empty()) throw UsageError("--model: the file name is empty");
                o.model = v;
            } else if (n == "--start") o.start_model = v;
            else if (n == "--synth-scenes") o.synth_scenes = true;
            else if (n == "--epochs") o.epochs = static_cast<int>(parse_number(v, 1, 1000, "--epochs"));
            else if (n == "--minutes") o.minutes = static_cast<int>(parse_number(v, 1, 100000, "--minutes"));
            else if (n == "--seed") o.seed = static_cast<unsigned long>(parse_number(v, 0, 4294967295L, "--seed"));
            else unknown(n, "train");
        },
        [&](const std::string& p) { o.labels.push_back(p); });
    if (o.help) return o;
    if (o.train_box && o.kb.empty()) throw UsageError("train: --kb FILE is required");
    if (o.train_net && o.model.empty()) {
        if (o.kb.empty()) throw UsageError("train: --model FILE is required with --reader net");
        o.model = std::filesystem::path(o.kb).replace_extension(".pnet").string();
    }
    if (o.labels.empty() && !(o.train_net && !o.train_box && o.synth > 0))
        throw UsageError("train: no label file or folder given");
    return o;
}

BenchOptions parse_bench_options(const std::vector<std::string>& args, int processors) {
    BenchOptions o;
    o.jobs = processors < 1 ? 1 : processors;
    static const std::vector<std::string> valued = {"--kb",    "--kind",       "--template", "--depth",
                                                    "--jobs",  "--json",       "--folds",    "--passes",
                                                    "--augment", "--region",   "--synth",    "--synth-seed",
                                                    "--reader", "--model",     "--topn",     "--start",
                                                    "--epochs", "--minutes",   "--seed"};
    ArgWalker(args).run(
        [&](const std::string& n) { return std::find(valued.begin(), valued.end(), n) != valued.end(); },
        [&](const std::string& n, const std::string& v) {
            if (common_switch(n, o)) {
            } else if (n == "--region" && v == "auto") {
                o.region_by_folder = true;
            } else if (reading_option(n, v, o.kbs, o.recognition, o.depth, o.jobs)) {
            } else if (n == "--json") {
                if (v.empty()) throw UsageError("--json: the file name is empty");
                o.json_path = v;
            } else if (n == "--misses") o.misses = true;
            else if (n == "--folds") o.folds = static_cast<int>(parse_number(v, 2, 100, "--folds"));
            else if (n == "--passes") o.passes = static_cast<int>(parse_number(v, 1, 100, "--passes"));
            else if (n == "--augment") o.augment = static_cast<int>(parse_number(v, 0, kMostVariants, "--augment"));
            else if (n == "--synth") o.synth = static_cast<int>(parse_number(v, 0, 100000, "--synth"));
            else if (n == "--synth-seed")
                o.synth_seed = static_cast<unsigned long>(parse_number(v, 0, 4294967295L, "--synth-seed"));
            else if (n == "--start") o.start_model = v;
            else if (n == "--epochs") o.epochs = static_cast<int>(parse_number(v, 1, 1000, "--epochs"));
            else if (n == "--minutes") o.minutes = static_cast<int>(parse_number(v, 1, 100000, "--minutes"));
            else if (n == "--seed") o.seed = static_cast<unsigned long>(parse_number(v, 0, 4294967295L, "--seed"));
            else unknown(n, "bench");
        },
        [&](const std::string& p) { o.labels.push_back(p); });
    if (o.help) return o;
    if (o.folds > 0 && !o.recognition.model.empty())
        throw UsageError("bench: --folds trains a model for every fold; --model is not used with it");
    if (o.folds > 0 && !o.kbs.empty())
        throw UsageError("bench: --folds trains a base for every fold; --kb is not used with it");
    if (o.folds == 0 && o.synth > 0) throw UsageError("bench: --synth adds to the trainings of --folds only");
    if (o.region_by_folder && (o.folds == 0 || o.recognition.reader == ReaderKind::box))
        throw UsageError("bench: --region auto is for --folds with the learned reader");
    if (o.labels.empty()) throw UsageError("bench: no label file or folder given");
    return o;
}

SynthOptions parse_synth_options(const std::vector<std::string>& args) {
    SynthOptions o;
    static const std::vector<std::string> valued = {"--out", "--count", "--seed", "--image-format", "--style"};
    ArgWalker(args).run(
        [&](const std::string& n) { return std::find(valued.begin(), valued.end(), n) != valued.end(); },
        [&](const std::string& n, const std::string& v) {
            if (n == "--help") o.help = true;
            else if (n == "--out") {
                if (v.empty()) throw UsageError("--out: the folder name is empty");
                o.out_dir = v;
            } else if (n == "--count") o.count = static_cast<int>(parse_number(v, 1, 1000000, "--count"));
            else if (n == "--seed") o.seed = static_cast<unsigned long>(parse_number(v, 0, 4294967295L, "--seed"));
            else if (n == "--image-format") {
                if (v != "png" && v != "jpeg" && v != "mixed")
                    throw UsageError("--image-format: expected png, jpeg or mixed, got '" + v + "'");
                o.image_format = v;
            } else if (n == "--style") {
                if (v != "eu" && v != "us" && v != "br")
                    throw UsageError("--style: expected eu, us or br, got '" + v + "'");
                o.style = v;
            } else if (n == "--crops") o.crops = true;
            else unknown(n, "synth");
        },
        [&](const std::string& p) { throw UsageError("synth: unexpected argument '" + p + "'"); });
    if (!o.help && o.out_dir.empty()) throw UsageError("synth: --out DIR is required");
    if (o.crops && o.style.empty()) throw UsageError("synth: --crops needs --style eu, us or br");
    return o;
}

int analysis_mode_of(AnalysisKind kind) { return kind == AnalysisKind::extended ? 1 : 0; }

const char* analysis_name(AnalysisKind kind) { return kind == AnalysisKind::extended ? "extended" : "basic"; }

// Help lines of the options that read, train and bench share.
static const char* const kAnalysisHelp =
    "  --depth N            analysis depth 1-5 (default 3)\n"
    "  --basic-analysis     the basic analysis the desktop programs run; by default\n"
    "                       an extended one that also finds small plates\n"
    "  --jobs N             images analysed in parallel (default: processors)\n";
static const char* const kRegionHelp =
    "  --region R           eu, us or br: also read each field with the plate\n"
    "                       syntaxes of that region (letter and digit positions)\n"
    "                       and keep the one the reading agrees with best\n";
static const char* const kReaderHelp =
    "  --model FILE         the learned reader's model (platix train --reader net);\n"
    "                       with it the learned reader reads the fields\n"
    "  --reader R           box (the box-net engine of --kb) or net (the learned\n"
    "                       reader of --model); default net when --model is given\n"
    "  --topn N             candidates the learned reader lists per field in JSON\n"
    "                       (1-32, default 10)\n"
    "  --single-pass        the learned reader reads only what the analysis of the\n"
    "                       whole page finds; by default, when nothing there surely\n"
    "                       reads as a plate, it also analyses windows of the page\n";
static const char* const kQuietHelp =
    "  --quiet, -q          no progress bar\n"
    "  --help, -h           this text\n";

std::string main_help() {
    return "usage: platix COMMAND [options] ...\n"
           "\n"
           "Reads licence plates in images, trains knowledge bases from labelled\n"
           "images and measures accuracy.\n"
           "\n"
           "commands:\n"
           "  read    read the plates in image files or folders\n"
           "  train   teach a knowledge base from labelled images\n"
           "  bench   measure location and reading accuracy on labelled images\n"
           "  synth   write synthetic plate scenes with their labels\n"
           "  serve   read images posted over HTTP (several worker processes)\n"
           "  worker  read the jobs of a Redis Stream; enqueue adds image files to one\n"
           "  watch   read the plates passing in video files and streams\n"
           "\n"
           "platix COMMAND --help describes the options of a command; platix --version\n"
           "prints the version.\n"
           "Exit status: 0 all inputs read, 1 some input could not be read, 2 usage error.\n";
}

std::string read_help() {
    return std::string("usage: platix read [options] PATH...\n"
           "\n"
           "Analyses every image (folders are walked in name order; files that are\n"
           "not images are skipped; - reads one image from standard input) and\n"
           "reads each field found.\n"
           "\n"
           "  --kb FILE[:TYPE]     knowledge base to read with (repeatable); TYPE is the\n"
           "                       list type (any, digits, letters or a number), else\n"
           "                       it is decided from the base's classes. Without --kb\n"
           "                       the bundled base is used; --kb none reports the\n"
           "                       fields without text. A base that does not load\n"
           "                       whole is refused (exit status 2).\n"
           "  --kind KIND          digits, letters or any (default any)\n"
           "  --template T         text template (default \"C\": upper case)\n")
           + kRegionHelp + kReaderHelp + kAnalysisHelp +
           "  --format F           text (default), json (one object per line) or csv\n"
           "  --annotate DIR       also write DIR/NAME.png: the picture at its own size,\n"
           "                       in colour, with the frames at the boxes the JSON\n"
           "                       gives and the text read beside each field; a name\n"
           "                       met again gets NAME-2.png, NAME-3.png, ...\n"
           "  --max-pixels N       refuse images of more than N pixels (default 40000000),\n"
           "                       before decoding when the file's header gives the size\n"
           + kQuietHelp;
}

std::string watch_help() {
    return std::string("usage: platix watch [options] SOURCE...\n"
           "\n"
           "Reads the plates passing in video files (MP4, MKV, AVI, MJPEG) and network\n"
           "streams (rtsp://, http:// MJPEG or MPEG-TS) and prints one event per\n"
           "passage of a plate, when the plate has left. Several sources are watched\n"
           "at once, one process each. SIGINT or SIGTERM ends the watch: the open\n"
           "passages are printed and the exit status is 0.\n"
           "\n"
           "  --kb FILE[:TYPE]     knowledge base (as for read; default the bundled one)\n"
           "  --kind KIND          digits, letters or any (default any)\n"
           "  --template T         text template (default \"C\": upper case)\n")
           + kRegionHelp + kAnalysisHelp +
           "  --every N            analyse every Nth frame (default 1)\n"
           "  --fps F              analyse F frames per second of stream time instead\n"
           "  --gap SECONDS        a plate unseen this long has passed (default 2)\n"
           "  --format F           json (default; one event per line), text or csv\n"
           "  --save DIR           write the best frame of each passage, annotated as\n"
           "                       read --annotate draws it, as DIR/SOURCE-N.png\n"
           "  --reconnect          reopen a stream that breaks, with growing pauses\n"
           + kQuietHelp;
}

std::string train_help() {
    return std::string("usage: platix train --kb FILE [options] LABELS...\n"
           "\n"
           "LABELS are label files (lines NAME<TAB>x<TAB>y<TAB>w<TAB>h<TAB>PLATE, NAME\n"
           "relative to the label file) or folders holding images with such files.\n"
           "Every character read wrongly in a plate whose characters were all found\n"
           "is taught to FILE (created when missing).\n"
           "\n"
           "  --kb FILE            the knowledge base to train (required)\n"
           "  --passes N           at most N passes (default 5); training stops early\n"
           "                       after a pass that teaches nothing\n"
           "  --synth N            also train on N synthetic scenes in the plate styles\n"
           "                       of the label folders (eu, us, br by folder name,\n"
           "                       else all three), made in a temporary folder\n"
           "  --synth-seed S       their random seed (default 1)\n"
           "  --augment N          also teach N variants of every taught character\n"
           "                       (moved, scaled, thicker, thinner, slanted; 0-20,\n"
           "                       default " + std::to_string(kDefaultAugment) + ")\n")
           + "  --region R           eu, us or br: read the plates with that region's\n"
             "                       syntaxes (as for read) when deciding what to teach\n"
             "  --reader R           box (default: the knowledge base), net (the learned\n"
             "                       reader's model) or both\n"
             "  --model FILE         the model to write (default: FILE of --kb with the\n"
             "                       extension .pnet); --reader net with --synth N and no\n"
             "                       LABELS trains on synthetic scenes only\n"
             "  --synth-scenes       with --reader net: draw --synth N as whole scenes on\n"
             "                       disk (their truth boxes and the fields the analysis\n"
             "                       finds) instead of plate crops in memory; slower\n"
             "  --start FILE         the model to fine-tune (default: the bundled model,\n"
             "                       trained on synthetic plates; scratch: from scratch)\n"
             "  --epochs N           at most N epochs (default 30); training stops after\n"
             "                       6 epochs without a better validation reading, then\n"
             "                       trains again on every image (validation ones too)\n"
             "                       for as many epochs as read best, time allowing\n"
             "  --minutes M          stop after the epoch that passes M minutes (default 18)\n"
             "  --seed S             seed of the model's training (default 1)\n"
           + kAnalysisHelp + kQuietHelp;
}

std::string bench_help() {
    return std::string("usage: platix bench [--kb FILE] [options] LABELS...\n"
           "       platix bench --folds K [options] LABELS...\n"
           "\n"
           "Reads every labelled image and prints, per folder, the share of plates\n"
           "located and read exactly, the character accuracy, the median time per\n"
           "image and the images per second. With --folds the images of each folder\n"
           "are dealt in name order into K folds, and every fold is read with a base\n"
           "trained (as platix train does) on the other folds.\n"
           "\n"
           "  --kb FILE[:TYPE]     knowledge base (repeatable, as for read; default the\n"
           "                       bundled base)\n"
           "  --folds K            K-fold cross-validation (2-100) instead of --kb\n"
           "  --misses             after the table, one line per image not read exactly:\n"
           "                       file, truth, reading (or error) and verdict\n"
           "  --passes N, --augment N, --synth N, --synth-seed S\n"
           "                       the trainings' settings with --folds (as for train;\n"
           "                       synthetic scenes join every fold's training only)\n"
           "  --region auto        with --folds and the learned reader: each image\n"
           "                       read with the syntaxes of its folder's name (eu,\n"
           "                       us or br), so that one training covers the three\n"
           "  --reader net|box     with --folds: train the learned reader per fold (as\n"
           "                       train --reader net; the default when the bundled\n"
           "                       model is found) and read each fold with it, or a\n"
           "                       knowledge base per fold; --start FILE|scratch,\n"
           "                       --epochs N, --minutes M (per fold) and --seed S as\n"
           "                       for train\n"
           "  --kind KIND          digits, letters or any (default any)\n"
           "  --template T         text template (default \"C\")\n")
           + kRegionHelp + kReaderHelp + kAnalysisHelp +
           "  --json FILE          also write the table as JSON\n"
           + kQuietHelp;
}

std::string synth_help() {
    return "usage: platix synth --out DIR [--count N] [--seed S] [--style eu|us|br] [--crops]\n"
           "\n"
           "Writes N synthetic plate scenes (default 20) into DIR, each with its\n"
           "label file NAME.txt. The same seed gives the same files.\n"
           "\n"
           "  --out DIR            output folder (created when missing)\n"
           "  --count N            number of scenes (default 20)\n"
           "  --seed S             random seed (default 1)\n"
           "  --image-format F     png, jpeg or mixed (default mixed)\n"
           "  --style R            plates of one region's layouts: eu (one row, blue\n"
           "                       side band), us (wider, state name above) or br\n"
           "                       (Mercosur and the older grey plates); by default\n"
           "                       mixed generic plates\n"
           "  --crops              instead of scenes, the gray plate crops the learned\n"
           "                       reader trains on with --synth (PNG, with --style):\n"
           "                       frames, stickers, dirt, perspective, small sizes,\n"
           "                       JPEG loss, the plate's box in the label file\n"
           "  --help, -h           this text\n";
}

}  // namespace platix
