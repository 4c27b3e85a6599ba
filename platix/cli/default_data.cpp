// Locating the bundled reading data.
#include "default_data.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace platix {

namespace {

constexpr const char* kKbName = "kb/plates.kbf";
constexpr const char* kModelName = "models/plates.pnet";

bool holds_kb(const fs::path& dir) {
    std::error_code ec;
    return !dir.empty() && fs::is_regular_file(dir / kKbName, ec);
}

fs::path program_folder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

}  // namespace

std::string bundled_data_dir() {
    if (const char* env = std::getenv("ORVO_DATA_DIR"); env != nullptr && *env != '\0')
        return holds_kb(env) ? fs::path(env).lexically_normal().string() : std::string();
    const fs::path program = program_folder();
    if (!program.empty()) {
        const fs::path installed = (program / ORVO_DATA_FROM_BINDIR).lexically_normal();
        if (holds_kb(installed)) return installed.string();
    }
    if (holds_kb(ORVO_SOURCE_DATA_DIR)) return fs::path(ORVO_SOURCE_DATA_DIR).lexically_normal().string();
    return {};
}

std::string bundled_kb_path() {
    const std::string dir = bundled_data_dir();
    return dir.empty() ? std::string() : (fs::path(dir) / kKbName).string();
}

std::string bundled_model_path() {
    const std::string dir = bundled_data_dir();
    std::error_code ec;
    if (dir.empty() || !fs::is_regular_file(fs::path(dir) / kModelName, ec)) return {};
    return (fs::path(dir) / kModelName).string();
}

std::vector<KbArg> resolve_kbs(const std::vector<KbArg>& given, bool quiet) {
    bool none = false;
    for (const auto& kb : given) none = none || kb.path == "none";
    if (none) {
        if (given.size() > 1) throw UsageError("--kb none cannot be combined with other knowledge bases");
        return {};
    }
    if (!given.empty()) return given;
    const std::string kb = bundled_kb_path();
    if (kb.empty())
        throw UsageError("no --kb given and the bundled knowledge base was not found "
                         "(give --kb FILE, or --kb none for fields without text)");
    if (!quiet) std::fprintf(stderr, "platix: reading with the bundled knowledge base %s\n", kb.c_str());
    return {KbArg{kb, -1}};
}

}  // namespace platix
