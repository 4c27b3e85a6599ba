// Names of the reader failure causes, for diagnostics.
#include "read_status.h"

namespace rk {

const char* read_error_name(ReadError error) {
    switch (error) {
        case ReadError::none: return "ok";
        case ReadError::cannot_open: return "cannot open the file";
        case ReadError::too_short: return "file too short";
        case ReadError::bad_header: return "bad header";
        case ReadError::unsupported: return "unsupported layout";
        case ReadError::bad_size: return "bad page size";
        case ReadError::no_memory: return "out of memory";
        case ReadError::decode_failed: return "decoder error";
        case ReadError::truncated: return "file holds far less pixel data than it declares";
    }
    return "unknown";
}

}  // namespace rk
