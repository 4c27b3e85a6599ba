// The settings file "orvotutrix.ini", section "last_used": read with the
// recognition program's reader (same keys, defaults and clamping), written
// at quit with the three keys this program keeps.
#pragma once

#include <string>

namespace tutrix {

// Writes "image_file" (when a name is held, as folder/name), "kb_file"
// (when a base is named) and "analysis_depth". True on success.
bool write_tutrix_settings(const std::string& path, const std::string& image_folder,
                           const std::string& image_name, const std::string& kb_path, int analysis_depth);

}  // namespace tutrix
