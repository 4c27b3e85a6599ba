// Writing of the training program's settings file.
#include "tutrix_settings.h"

#include "orvosys.h"

namespace tutrix {

bool write_tutrix_settings(const std::string& path, const std::string& image_folder,
                           const std::string& image_name, const std::string& kb_path, int analysis_depth) {
    bool ok = true;
    auto put = [&](const char* key, const std::string& value) {
        if (!osys_write_profile_string("last_used", key, value.c_str(), path.c_str())) ok = false;
    };
    if (!image_name.empty()) {
        const std::string folder = image_folder == "/" ? "" : image_folder;
        put("image_file", folder + "/" + image_name);
    }
    if (!kb_path.empty()) put("kb_file", kb_path);
    put("analysis_depth", std::to_string(analysis_depth));
    return ok;
}

}  // namespace tutrix
