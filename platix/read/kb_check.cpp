// OCR_get_base_contents selects one base by its list index and loads its
// patterns file; the engine's messages meanwhile say why a base fails.
#include "kb_check.h"

#include <cstdio>
#include <filesystem>

#include "glyphnet.h"

namespace fs = std::filesystem;

namespace platix {

std::string check_knowledge_bases(const EngineSession& session, const std::vector<KbArg>& kbs, KbUse use) {
    if (session.io() == nullptr || session.list_path().empty()) return {};
    orvo::EngineMessages messages;
    std::string problem;
    ocr_io* io = OCR_init(session.list_path().c_str(), 1);
    const std::vector<std::string> loading = messages.take();
    for (std::size_t i = 0; io != nullptr && i < kbs.size() && problem.empty(); ++i) {
        const std::string& path = kbs[i].path;
        std::error_code ec;
        if (use == KbUse::training && !fs::exists(path, ec)) continue;
        messages.take();
        io->kb_index = static_cast<int>(i) + 1;
        io->kb_mode = 0;
        io->gap_tolerant = kbs[i].type >= 250 && kbs[i].type <= 252 ? 1 : 0;
        char classes[512];
        if (OCR_get_base_contents(classes) > 0) continue;
        problem = orvo::kb_cause(path, loading, messages.take(), use);
    }
    if (io == nullptr) problem = "the recognition engine could not start (out of memory)";
    OCR_init(session.list_path().c_str(), 0);
    return problem;
}

int refuse_unfit_for_reading(const EngineSession& session, const std::vector<KbArg>& kbs) {
    if (!session.error().empty()) {
        std::fprintf(stderr, "platix: %s\n", session.error().c_str());
        return 1;
    }
    if (const std::string bad = check_knowledge_bases(session, kbs, KbUse::reading); !bad.empty()) {
        std::fprintf(stderr, "platix: %s\n", bad.c_str());
        return 2;
    }
    return 0;
}

}  // namespace platix
