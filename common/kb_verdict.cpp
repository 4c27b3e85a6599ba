#include "kb_verdict.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace orvo {

namespace {

int catch_message(void* context, const char*, const char* text, unsigned style) {
    static_cast<std::vector<std::string>*>(context)->push_back(text ? text : "");
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

EngineMessages::EngineMessages() { previous_ = osys_set_message_presenter(catch_message, &texts_, &previous_context_); }

EngineMessages::~EngineMessages() { osys_set_message_presenter(previous_, previous_context_, nullptr); }

std::vector<std::string> EngineMessages::take() {
    std::vector<std::string> out;
    out.swap(texts_);
    return out;
}

std::string kb_cause(const std::string& kb_path, const std::vector<std::string>& loading,
                     const std::vector<std::string>& asking, KbUse use) {
    // A base the list named but that did not load whole is "not present";
    // the loader names the file when it found it but could not take it in.
    if (mentions(asking, "not present")) {
        std::error_code ec;
        const std::string absolute = fs::absolute(kb_path, ec).lexically_normal().string();
        return mentions(loading, absolute) ? kb_path + ": damaged knowledge base (not a whole .kbf file)"
                                           : kb_path + ": the knowledge base is empty or unreadable (no character loaded)";
    }
    if (use == KbUse::training && mentions(asking, "patterns file"))
        return kb_path + ": its patterns file " + fs::path(kb_path).replace_extension("dat").string() +
               " is missing or unreadable; training would drop every sample it held";
    return {};
}

}  // namespace orvo
