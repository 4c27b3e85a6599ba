// The part of an analysis instance that belongs to the analysis driver.
#pragma once

namespace rk {

struct DriverState {
    // The page as loaded: localisation and the second pass read it in
    // every pass, whatever image pre-processing reads.
    unsigned char* loaded_image = nullptr;
    // A worker's outcome: 1 after a normal run, 0 when its pre-processing
    // ran out of memory (its results are then already freed).
    int exit_code = 1;
    // The analysis mode (analysis_mode.h): 0 the documented analysis.
    int analysis_mode = 0;
};

}  // namespace rk
