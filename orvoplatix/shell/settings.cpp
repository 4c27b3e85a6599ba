// Reading and writing of the program's settings file.
#include "settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "orvosys.h"

namespace platix {

namespace {
constexpr const char* kSection = "last_used";

std::string read_string(const char* key, const char* def, const std::string& file) {
    char buf[260] = {};
    osys_profile_string(kSection, key, def, buf, sizeof buf, file.c_str());
    return buf;
}
}  // namespace

Settings read_settings(const std::string& path) {
    Settings s;
    s.image_file = read_string("image_file", "", path);
    s.kb_file = read_string("kb_file", "", path);
    s.show_bitmap = std::atoi(read_string("show_bitmap", "1", path).c_str());
    const std::string delay = read_string("show_delay", "", path);
    s.show_delay = delay.empty() ? 3000 : std::atoi(delay.c_str());
    s.analysis_depth = std::clamp(std::atoi(read_string("analysis_depth", "3", path).c_str()), 1, 5);
    return s;
}

bool write_settings(const std::string& path, const std::string& image_folder,
                    const std::string& image_name, const std::string& kb_path, int show_bitmap,
                    int show_delay, int analysis_depth) {
    const std::string work = path + ".new";
    {
        // Start from the present file, so other sections and keys survive.
        std::ifstream in(path, std::ios::binary);
        std::ofstream out(work, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        if (in) out << in.rdbuf();
        out.flush();
        if (!out) {
            std::remove(work.c_str());
            return false;
        }
    }
    bool ok = true;
    auto put = [&](const char* key, const std::string& value) {
        if (!osys_write_profile_string(kSection, key, value.c_str(), work.c_str())) ok = false;
    };
    if (!image_name.empty()) {
        const std::string folder = image_folder == "/" ? "" : image_folder;
        put("image_file", folder + "/" + image_name);
    }
    if (!kb_path.empty()) put("kb_file", kb_path);
    put("show_bitmap", std::to_string(show_bitmap));
    put("show_delay", std::to_string(show_delay));
    put("analysis_depth", std::to_string(analysis_depth));
    if (ok && std::rename(work.c_str(), path.c_str()) == 0) return true;
    std::remove(work.c_str());
    return false;
}

}  // namespace platix
