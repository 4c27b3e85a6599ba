// The failures of the learned reader, one code per cause; the C interface
// returns the same numbers.
#pragma once

namespace platenet {

enum class Status {
    ok = 0,
    cannot_open = 1,
    foreign = 2,
    bad_version = 3,
    truncated = 4,
    bad_header = 5,
    bad_checksum = 6,
    bad_parameters = 7,
    no_memory = 8,
    bad_argument = 9,
    internal = 10,
};

const char* status_text(Status s);

}  // namespace platenet
