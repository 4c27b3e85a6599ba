// Starting and stopping the recognition engine for a run.
#include "engine_session.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "orvosys.h"

namespace fs = std::filesystem;

namespace platix {

namespace {

int g_messages = 0;

// The engine reports through message boxes; on the command line errors
// and warnings go to stderr, information boxes are dropped.
int command_line_presenter(void*, const char* title, const char* text, unsigned style) {
    if ((style & OSYS_MB_ICONS) != OSYS_MB_ICONINFORMATION) {
        ++g_messages;
        std::string one_line = text ? text : "";
        for (char& c : one_line)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "platix: %s: %s\n", title ? title : "", one_line.c_str());
    }
    switch (style & OSYS_MB_BUTTONS) {
    case OSYS_MB_YESNO:
    case OSYS_MB_YESNOCANCEL:
        return OSYS_IDNO;
    case OSYS_MB_OKCANCEL:
        return OSYS_IDCANCEL;
    default:
        return OSYS_IDOK;
    }
}

}  // namespace

int EngineSession::messages_seen() { return g_messages; }

EngineSession::EngineSession(const std::vector<KbArg>& kbs) {
    osys_set_message_presenter(command_line_presenter, nullptr, nullptr);
    if (kbs.empty()) return;
    std::string tmpl = (fs::temp_directory_path() / "platix-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) {
        error_ = "cannot make a temporary folder for the knowledge-base list";
        return;
    }
    dir_ = tmpl;
    list_path_ = dir_ + "/$kbflst$.$$$";
    for (const auto& kb : kbs) {
        std::error_code ec;
        const std::string path = fs::absolute(kb.path, ec).lexically_normal().string();
        if (path.size() > 259) {
            error_ = "knowledge-base path longer than 259 characters: " + path;
            return;
        }
        const int type = kb.type >= 0 ? kb.type : OCR_get_kb_type(path.c_str());
        list_text_ += "[" + std::to_string(type) + "] " + path + "\r\n";
    }
    {
        std::ofstream out(list_path_, std::ios::binary | std::ios::trunc);
        out << list_text_;
        if (!out) {
            error_ = "cannot write the knowledge-base list in " + dir_;
            return;
        }
    }
    io_ = OCR_init(list_path_.c_str(), 0);
    if (io_ == nullptr) error_ = "the recognition engine could not start (out of memory)";
}

EngineSession::~EngineSession() {
    if (io_ != nullptr) OCR_cleanup();
    std::error_code ec;
    if (!list_path_.empty()) fs::remove(list_path_, ec);
    if (!dir_.empty()) fs::remove(dir_, ec);
}

}  // namespace platix
