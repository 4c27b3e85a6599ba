// The recognition engine set up for one run: the knowledge-base list file
// written into a private temporary folder, OCR_init with messages off, and
// everything undone when the session ends.
#pragma once

#include <string>
#include <vector>

#include "glyphnet.h"
#include "options.h"

namespace platix {

class EngineSession {
public:
    // Writes one list line per base ("[TYPE] PATH", TYPE from the --kb argument or
    // from OCR_get_kb_type) and starts the engine. With no bases nothing is
    // started and io() is null.
    explicit EngineSession(const std::vector<KbArg>& kbs);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // The engine's record, or null when no engine runs.
    ocr_io* io() const { return io_; }
    // Why the engine could not start ("" when it runs or was not asked for).
    const std::string& error() const { return error_; }
    // The list file's text as written.
    const std::string& list_text() const { return list_text_; }
    // The list file's path ("" when no engine runs).
    const std::string& list_path() const { return list_path_; }

    // Engine messages other than information boxes seen so far (they are
    // also printed on stderr, prefixed "platix: ").
    static int messages_seen();

private:
    ocr_io* io_ = nullptr;
    std::string dir_;
    std::string list_path_;
    std::string list_text_;
    std::string error_;
};

}  // namespace platix
