// Why a reader refused a file. Internal: the store maps every cause to the
// documented 0 result.
#pragma once

namespace rk {

enum class ReadError {
    none,
    cannot_open,    // the file cannot be opened or read
    too_short,      // the file is shorter than its header
    bad_header,     // a header field has a value the format forbids
    unsupported,    // a valid layout this reader does not take
    bad_size,       // zero, negative or oversized dimensions
    no_memory,      // an allocation failed
    decode_failed,  // the decoding library reported a fatal error
    truncated,      // the file holds far less pixel data than its header declares
};

const char* read_error_name(ReadError error);

}  // namespace rk
