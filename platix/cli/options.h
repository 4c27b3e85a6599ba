// Command-line options of the platix subcommands: what each accepts, its
// defaults, and the help text shown by --help. Parsing never exits: bad
// input throws UsageError with a one-line message.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace platix {

// A mistake on the command line; main prints "platix: MESSAGE" and exits 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A knowledge base to load: its path and list type (-1 = let the engine
// decide from the file's classes).
struct KbArg {
    std::string path;
    int type = -1;
};

enum class OutputFormat { text, json, csv };

// How each field is read: whole field, the character kind of the request
// and its text template.
// The analysis a command runs: the extended one, which also finds small
// plates, unless --basic-analysis asks for the basic one the desktop programs run.
enum class AnalysisKind { extended, basic };

// The rasterkit analysis mode of a kind, and its name in JSON output
// ("extended" or "basic").
int analysis_mode_of(AnalysisKind kind);
const char* analysis_name(AnalysisKind kind);

// The plates a reading expects: none (any text), or the plate syntaxes of
// Europe, the United States or Brazil (see plate_syntax.h).
enum class Region { none, eu, us, br };

// Which reader reads the fields: the learned one when a model is given
// (automatic), or the one asked for with --reader.
enum class ReaderKind { automatic, box, net };

struct RecognitionSettings {
    int kb_mode = 0;             // 0 any, 1 digits, 2 letters
    std::string text_template = "C";
    Region region = Region::none;  // a region: each field also read with its plate syntaxes
    ReaderKind reader = ReaderKind::automatic;
    std::string model;           // --model: the learned reader's model file
    int topn = 10;               // candidates the learned reader lists per field
    bool join_rows = true;       // the learned reader also reads close fields of one row as one
    bool windows = true;         // the learned reader also analyses windows of the page (window_pass.h)
};

// The largest image read by default, in pixels (--max-pixels).
constexpr long long kDefaultMaxPixels = 40'000'000;

struct ReadOptions {
    bool help = false;
    std::vector<std::string> paths;
    std::vector<KbArg> kbs;
    RecognitionSettings recognition;
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    int jobs = 1;
    OutputFormat format = OutputFormat::text;
    std::string annotate_dir;
    bool quiet = false;
    // Images of more pixels are refused, before decoding when the file's
    // header tells the size, else right after loading.
    long long max_pixels = kDefaultMaxPixels;
};

// Variants taught with every taught character unless --augment says
// otherwise: all of them, which read best in cross-validation.
constexpr int kDefaultAugment = 20;

struct TrainOptions {
    bool help = false;
    std::string kb;
    std::vector<std::string> labels;
    int passes = 5;        // the most passes; a pass that teaches nothing ends early
    Region region = Region::none;  // plate syntaxes used by the reading that decides what to teach
    int synth = 0;                // synthetic scenes mixed into the training
    unsigned long synth_seed = 1;  // their seed: the same command trains the same base
    int augment = kDefaultAugment;  // variants taught with every taught character
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    int jobs = 1;
    bool quiet = false;
    // The learned reader (--reader net or both): the model file written
    // (default: the knowledge base's name with the extension .pnet), the
    // model it starts from (empty: from scratch), the most epochs and
    // minutes, and the seed of its initialisation, batches and jitter.
    bool train_box = true, train_net = false;
    bool synth_scenes = false;  // the learned reader's --synth as whole scenes on disk, not crops
    std::string model;
    std::string start_model;
    int epochs = 30;
    int minutes = 18;
    unsigned long seed = 1;
};

struct BenchOptions {
    bool help = false;
    std::vector<KbArg> kbs;
    std::vector<std::string> labels;
    RecognitionSettings recognition;
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    int jobs = 1;
    std::string json_path;
    bool misses = false;  // also list every image not read exactly
    bool quiet = false;
    // Cross-validation: with folds > 0 the images are split into that many
    // folds and each fold is read with a base trained on the others (no
    // --kb then); passes, augment and synth are the trainings' settings
    // (the region of `recognition` applies to training and reading).
    int folds = 0;
    int passes = 5;
    int augment = kDefaultAugment;
    int synth = 0;                 // synthetic scenes added to every fold's training
    unsigned long synth_seed = 1;
    // With --folds and --reader net: each fold trains the learned reader
    // (from --start, or from scratch) for at most `epochs` epochs and
    // `minutes` minutes, and reads its fold with it.
    std::string start_model;
    int epochs = 30;
    int minutes = 18;
    unsigned long seed = 1;
    bool region_by_folder = false;  // --region auto: each image with its folder's region
};

struct SynthOptions {
    bool help = false;
    std::string out_dir;
    int count = 20;
    unsigned long seed = 1;
    std::string image_format = "mixed";  // png, jpeg or mixed
    std::string style;  // eu, us or br: that region's plate layouts; empty: mixed plates
    bool crops = false;  // the learned reader's synthetic plate crops instead of scenes
};

// platix watch (goes beyond the documented programs): video files and
// streams, one event per passing plate.
struct WatchOptions {
    bool help = false;
    std::vector<std::string> sources;
    std::vector<KbArg> kbs;
    RecognitionSettings recognition;
    int depth = 3;
    AnalysisKind analysis = AnalysisKind::extended;
    int jobs = 1;                 // unused: one process per source
    OutputFormat format = OutputFormat::json;
    int every = 1;                // analyse every Nth frame
    double fps = 0;               // > 0: analyse this many frames per second of stream time
    double gap = 2.0;             // seconds unseen before a passage closes
    std::string save_dir;         // non-empty: the best frame of each passage, annotated
    bool reconnect = false;       // reopen a broken stream with back-off
    bool quiet = false;
};

// Each parser takes the arguments after the subcommand name. The default
// of --jobs is `processors`. Throws UsageError.
ReadOptions parse_read_options(const std::vector<std::string>& args, int processors);
TrainOptions parse_train_options(const std::vector<std::string>& args, int processors);
BenchOptions parse_bench_options(const std::vector<std::string>& args, int processors);
SynthOptions parse_synth_options(const std::vector<std::string>& args);
WatchOptions parse_watch_options(const std::vector<std::string>& args);

// Parses "FILE" or "FILE:TYPE" (TYPE a list type number or any, digits,
// letters). Throws UsageError for an empty path or a bad type.
KbArg parse_kb_arg(const std::string& text);
// A whole number within [low, high]; `what` names the option in the error.
long parse_number(const std::string& text, long low, long high, const std::string& what);

std::string main_help();
std::string read_help();
std::string train_help();
std::string bench_help();
std::string synth_help();
std::string watch_help();

}  // namespace platix
