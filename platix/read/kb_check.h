// Refusing knowledge bases that do not load whole, by the engine's own
// load result: a damaged or empty .kbf, or (for training) a base whose
// patterns file is missing.
#pragma once

#include <string>
#include <vector>

#include "engine_session.h"
#include "kb_verdict.h"
#include "options.h"

namespace platix {

using KbUse = orvo::KbUse;

// Loads the session's bases again with the engine's messages on, and asks
// the engine for each base's classes. Returns "" when every base is fit
// for `use`, else one line "PATH: why". For training a base whose file does
// not exist yet is fine (training creates it). The session is left as it
// started (bases loaded, messages off).
std::string check_knowledge_bases(const EngineSession& session, const std::vector<KbArg>& kbs, KbUse use);

// For the reading commands: 0 when the session started and its bases are
// fit for reading; else prints the one-line cause on stderr and returns the
// exit status (1 the engine did not start, 2 a base that does not load).
int refuse_unfit_for_reading(const EngineSession& session, const std::vector<KbArg>& kbs);

}  // namespace platix
