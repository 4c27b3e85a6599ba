// The engine's own verdict on a knowledge base, shared by platix and the
// desktop programs: the engine's messages are caught while it loads the
// list and while it is asked for a base's classes, and turned into one
// cause. Nothing here reads the file format.
#pragma once

#include <string>
#include <vector>

#include "orvosys.h"

namespace orvo {

enum class KbUse {
    reading,   // the nets must load; the patterns file is not needed
    training,  // an existing base must load with its patterns file; a missing base is created by training
};

// Catches the engine's message boxes for its lifetime (answering No,
// Cancel or OK, whichever the box offers), then puts back the presenter
// that was installed before.
class EngineMessages {
public:
    EngineMessages();
    ~EngineMessages();
    EngineMessages(const EngineMessages&) = delete;
    EngineMessages& operator=(const EngineMessages&) = delete;
    // The messages caught since the last call.
    std::vector<std::string> take();

private:
    std::vector<std::string> texts_;
    osys_presenter previous_ = nullptr;
    void* previous_context_ = nullptr;
};

// Why the base `kb_path`, whose classes came back empty, cannot be used:
// from the messages of loading the list (`loading`) and of asking for its
// classes (`asking`). "KB_PATH: why", or "" when they name no cause.
std::string kb_cause(const std::string& kb_path, const std::vector<std::string>& loading,
                     const std::vector<std::string>& asking, KbUse use);

}  // namespace orvo
