// Fuzz target: the settings-file reader and writer of the host layer on a
// file written from the input. After a key is written, reading it back must
// give the value written, and every other read must stay within its buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "orvosys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 65536) return 0;
    static const std::string path = fuzzsupport::scratch_file("settings.ini");
    if (!fuzzsupport::write_file(path, data, size)) return 0;

    static const char* const sections[] = {"last_used", "LAST_USED", "other", ""};
    static const char* const keys[] = {"image_file", "kb_file", "analysis_depth", "slide_delay", ""};
    char out[64];
    for (const char* s : sections) {
        for (const char* k : keys) {
            std::memset(out, 0x5A, sizeof out);
            const std::size_t n = osys_profile_string(s, k, "none", out, 16, path.c_str());
            if (n > 15 || out[n] != 0 || out[16] != 0x5A) std::abort();
            (void)osys_profile_int(s, k, -7, path.c_str());
        }
    }
    if (osys_write_profile_string("last_used", "kb_file", "base.kbf", path.c_str()) == 1) {
        const std::size_t n = osys_profile_string("last_used", "kb_file", "", out, sizeof out, path.c_str());
        if (n != 8 || std::strcmp(out, "base.kbf") != 0) std::abort();
        if (osys_write_profile_string("last_used", "analysis_depth", "4", path.c_str()) == 1 &&
            osys_profile_int("last_used", "analysis_depth", 0, path.c_str()) != 4)
            std::abort();
        // Removing the key leaves the default.
        if (osys_write_profile_string("last_used", "kb_file", nullptr, path.c_str()) == 1 &&
            osys_profile_string("last_used", "kb_file", "gone", out, sizeof out, path.c_str()) != 4)
            std::abort();
    }
    return 0;
}
