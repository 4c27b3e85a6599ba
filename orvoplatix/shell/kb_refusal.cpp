// The engine reports a base it could not load through its messages and
// through OCR_get_base_contents, which selects the base by its list index
// and loads its patterns file; both answers are read here.
#include "kb_refusal.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "orvosys.h"

namespace fs = std::filesystem;

namespace platix {

namespace {

struct Captured {
    std::vector<std::string> texts;
};

int capture(void* context, const char*, const char* text, unsigned style) {
    static_cast<Captured*>(context)->texts.push_back(text ? text : "");
    switch (style & OSYS_MB_BUTTONS) {
    case OSYS_MB_YESNO:
    case OSYS_MB_YESNOCANCEL: return OSYS_IDNO;
    case OSYS_MB_OKCANCEL: return OSYS_IDCANCEL;
    default: return OSYS_IDOK;
    }
}

bool mentions(const std::vector<std::string>& texts, const std::string& what) {
    for (const auto& t : texts)
        if (t.find(what) != std::string::npos) return true;
    return false;
}

}  // namespace

std::string kb_problem(LibraryPort& libs, const std::string& list_path, const std::string& kb_path, KbUse use) {
    std::error_code ec;
    if (kb_path.empty() || (use == KbUse::training && !fs::exists(kb_path, ec))) return {};
    const int type = libs.kb_type(kb_path.c_str());
    Captured seen;
    void* previous_context = nullptr;
    const osys_presenter previous = osys_set_message_presenter(capture, &seen, &previous_context);
    std::string problem;
    ocr_io* io = libs.ocr_init(list_path.c_str(), 1);
    // An engine that cannot start is reported where the program starts it.
    if (io != nullptr) {
        const std::vector<std::string> init_messages = seen.texts;
        seen.texts.clear();
        io->kb_index = 1;
        io->kb_mode = 0;
        io->gap_tolerant = type >= 250 && type <= 252 ? 1 : 0;
        char classes[512];
        if (libs.base_contents(classes) <= 0) {
            const std::string absolute = fs::absolute(kb_path, ec).lexically_normal().string();
            if (mentions(seen.texts, "not present")) {
                problem = mentions(init_messages, absolute)
                              ? kb_path + ": damaged knowledge base (not a whole .kbf file)"
                              : kb_path + ": the knowledge base is empty or unreadable (no character loaded)";
            } else if (use == KbUse::training && mentions(seen.texts, "patterns file")) {
                problem = kb_path + ": its patterns file " + fs::path(kb_path).replace_extension("dat").string() +
                          " is missing or unreadable; training would drop every sample it held";
            }
        }
        libs.ocr_init(list_path.c_str(), 0);
    }
    osys_set_message_presenter(previous, previous_context, nullptr);
    return problem;
}

void report_kb_problem(const char* program, const std::string& problem) {
    std::fprintf(stderr, "%s: %s\n", program, problem.c_str());
    const std::string text = "The knowledge base cannot be used:\n" + problem + "\nNo knowledge base is loaded.";
    osys_message_box(text.c_str(), "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
}

}  // namespace platix
