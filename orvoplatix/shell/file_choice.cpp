// The file choices of both programs.
#include "file_choice.h"

#include <unistd.h>

#include <cstdio>

#include "path_helpers.h"

namespace platix {

std::string folder_part(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string name_part(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string extension_part(const std::string& name) {
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

const std::vector<desk::FileFilter>& image_filters() {
    static const std::vector<desk::FileFilter> filters = {
        {"JPEG files (*.jpg)", "*.jpg"}, {"PNG files (*.png)", "*.png"}, {"BMP files (*.bmp)", "*.bmp"},
        {"TIFF files (*.tif)", "*.tif"}, {"PCX files (*.pcx)", "*.pcx"}, {"PGM files (*.pgm)", "*.pgm"},
        {"ITEX files (*.img)", "*.img"}, {"All files (*.*)", "*.*"}};
    return filters;
}

bool choose_image_files(desk::MultiFileSelection& dialog, desk::OpenFilePort& port, const std::string& image_name,
                        std::string& image_folder, const std::string& list_path, desk::ImageList& list,
                        desk::MultiSelection& chosen) {
    const std::string ext = image_name.empty() ? std::string("jpg") : extension_part(image_name);
    int r;
    do {
        r = dialog.run(port, "Select image file(s)", image_filters(), image_folder, ext, list_path, chosen);
    } while (r == 2);
    if (r != 0) return false;
    image_folder = chosen.folder;
    if (chdir(image_folder.c_str()) != 0) {
        // The list holds full paths; the current folder only matters for
        // relative names, and a folder that vanished shows as a load error.
    }
    list.release();
    if (list.load(list_path, chosen.count)) pathutil::delete_file(list_path.c_str());
    return true;
}

bool choose_kb_file(desk::SingleFileSelection& dialog, desk::OpenFilePort& port, const char* title,
                    std::string& kb_folder, std::string& kb_path) {
    static const std::vector<desk::FileFilter> filters = {{"KBF files (*.kbf)", "*.kbf"},
                                                          {"All files (*.*)", "*.*"}};
    std::string path;
    int r;
    do {
        r = dialog.run(port, title, filters, kb_folder, "kbf", path);
    } while (r == 2);
    if (r != 0) return false;
    kb_path = path;
    kb_folder = folder_part(path);
    return true;
}

void write_kb_list(LibraryPort& libs, const std::string& list_path, const std::string& kb_path) {
    const int type = libs.kb_type(kb_path.c_str());
    std::FILE* f = std::fopen(list_path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "[%d] %s\r\n", type, kb_path.c_str());
    std::fclose(f);
}

}  // namespace platix
