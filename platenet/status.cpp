#include "status.h"

namespace platenet {

const char* status_text(Status s) {
    switch (s) {
    case Status::ok: return "ok";
    case Status::cannot_open: return "cannot open or read the model file";
    case Status::foreign: return "not a model file";
    case Status::bad_version: return "unsupported model format version";
    case Status::truncated: return "model file truncated";
    case Status::bad_header: return "model header out of range";
    case Status::bad_checksum: return "model payload damaged (checksum mismatch)";
    case Status::bad_parameters: return "parameter count does not match the network";
    case Status::no_memory: return "out of memory";
    case Status::bad_argument: return "bad argument";
    case Status::internal: return "internal error of the network";
    }
    return "unknown status";
}

}  // namespace platenet
