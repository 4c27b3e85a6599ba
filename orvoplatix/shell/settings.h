// The settings file "orvoplatix.ini", section "last_used": read once at
// start with its defaults and clamping, written once at quit.
#pragma once

#include <string>

namespace platix {

struct Settings {
    std::string image_file;
    std::string kb_file;
    int show_bitmap = 1;
    int show_delay = 3000;
    int analysis_depth = 3;
};

Settings read_settings(const std::string& path);

// Writes the keys: "image_file" only when image_name is not empty (as
// folder/name), "kb_file" only when kb_path is not empty, the three
// numbers always. All keys are written into a copy of the file which then
// replaces it, so the file holds either every new value or the old ones.
// Returns true on success.
bool write_settings(const std::string& path, const std::string& image_folder,
                    const std::string& image_name, const std::string& kb_path, int show_bitmap,
                    int show_delay, int analysis_depth);

}  // namespace platix
