// OCR_get_base_contents selects the base by its list index and loads its
// patterns file; the engine's messages meanwhile say why a base fails.
#include "kb_refusal.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "orvosys.h"

namespace fs = std::filesystem;

namespace platix {

std::string kb_problem(LibraryPort& libs, const std::string& list_path, const std::string& kb_path, KbUse use) {
    std::error_code ec;
    if (kb_path.empty() || (use == KbUse::training && !fs::exists(kb_path, ec))) return {};
    const int type = libs.kb_type(kb_path.c_str());
    orvo::EngineMessages messages;
    std::string problem;
    ocr_io* io = libs.ocr_init(list_path.c_str(), 1);
    // An engine that cannot start is reported where the program starts it.
    if (io != nullptr) {
        const std::vector<std::string> loading = messages.take();
        io->kb_index = 1;
        io->kb_mode = 0;
        io->gap_tolerant = type >= 250 && type <= 252 ? 1 : 0;
        char classes[512];
        if (libs.base_contents(classes) <= 0) problem = orvo::kb_cause(kb_path, loading, messages.take(), use);
        libs.ocr_init(list_path.c_str(), 0);
    }
    return problem;
}

void report_kb_problem(const char* program, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
    const std::string text = "The knowledge base cannot be used:\n" + problem + "\nNo knowledge base is loaded.";
    osys_message_box(text.c_str(), "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
}

}  // namespace platix
