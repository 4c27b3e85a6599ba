// The engine reports a base it could not load through its messages and
// through OCR_get_base_contents, which selects one base by its list index
// and loads its patterns file; both answers are read here.
#include "kb_check.h"

#include <cstdio>
#include <filesystem>

#include "glyphnet.h"
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

std::string absolute_of(const std::string& path) {
    std::error_code ec;
    return fs::absolute(path, ec).lexically_normal().string();
}

std::string patterns_path_of(const std::string& kb) {
    fs::path p(kb);
    return p.replace_extension("dat").string();
}

}  // namespace

std::string check_knowledge_bases(const EngineSession& session, const std::vector<KbArg>& kbs, KbUse use) {
    if (session.io() == nullptr || session.list_path().empty()) return {};
    Captured seen;
    void* previous_context = nullptr;
    const osys_presenter previous = osys_set_message_presenter(capture, &seen, &previous_context);
    std::string problem;
    ocr_io* io = OCR_init(session.list_path().c_str(), 1);
    const std::vector<std::string> init_messages = seen.texts;
    for (std::size_t i = 0; io != nullptr && i < kbs.size() && problem.empty(); ++i) {
        const std::string& path = kbs[i].path;
        std::error_code ec;
        if (use == KbUse::training && !fs::exists(path, ec)) continue;
        seen.texts.clear();
        io->kb_index = static_cast<int>(i) + 1;
        io->kb_mode = 0;
        io->gap_tolerant = kbs[i].type >= 250 && kbs[i].type <= 252 ? 1 : 0;
        char classes[512];
        if (OCR_get_base_contents(classes) > 0) continue;
        if (mentions(seen.texts, "not present")) {
            problem = mentions(init_messages, absolute_of(path))
                          ? path + ": damaged knowledge base (not a whole .kbf file)"
                          : path + ": the knowledge base is empty or unreadable (no character loaded)";
        } else if (use == KbUse::training && mentions(seen.texts, "patterns file")) {
            problem = path + ": its patterns file " + patterns_path_of(path) +
                      " is missing or unreadable; training would drop every sample it held";
        }
    }
    if (io == nullptr) problem = "the recognition engine could not start (out of memory)";
    OCR_init(session.list_path().c_str(), 0);
    osys_set_message_presenter(previous, previous_context, nullptr);
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
