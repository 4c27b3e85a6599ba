// Writing a synthetic scene's picture and label file.
#include "scene_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "png_out.h"

namespace fs = std::filesystem;

namespace platix::synth {

std::string write_scene_files(const Scene& scene, const std::string& folder, const std::string& stem, bool jpeg) {
    const std::string image_name = stem + (jpeg ? ".jpg" : ".png");
    RgbPicture picture;
    scene.picture.to_picture(&picture);
    std::string why;
    const std::string image_path = (fs::path(folder) / image_name).string();
    const bool written = jpeg ? write_jpeg_file(image_path, picture, 92, &why) : write_png_file(image_path, picture, &why);
    if (!written) throw std::runtime_error(why);
    const std::string label_path = (fs::path(folder) / (stem + ".txt")).string();
    std::ofstream label(label_path, std::ios::binary | std::ios::trunc);
    label << image_name << '\t' << scene.x << '\t' << scene.y << '\t' << scene.w << '\t' << scene.h << '\t'
          << scene.plate << '\n';
    label.close();
    if (!label) throw std::runtime_error(stem + ": cannot write the label");
    return label_path;
}

}  // namespace platix::synth
