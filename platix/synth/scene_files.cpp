// Writing a synthetic scene's picture and label file.
#include "scene_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "png_out.h"

namespace fs = std::filesystem;

namespace platix::synth {

namespace {

std::string write_files(const RgbPicture& picture, const std::string& folder, const std::string& stem, bool jpeg,
                        int x, int y, int w, int h, const std::string& plate) {
    const std::string image_name = stem + (jpeg ? ".jpg" : ".png");
    std::string why;
    const std::string image_path = (fs::path(folder) / image_name).string();
    const bool written = jpeg ? write_jpeg_file(image_path, picture, 92, &why) : write_png_file(image_path, picture, &why);
    if (!written) throw std::runtime_error(why);
    const std::string label_path = (fs::path(folder) / (stem + ".txt")).string();
    std::ofstream label(label_path, std::ios::binary | std::ios::trunc);
    label << image_name << '\t' << x << '\t' << y << '\t' << w << '\t' << h << '\t' << plate << '\n';
    label.close();
    if (!label) throw std::runtime_error(stem + ": cannot write the label");
    return label_path;
}

}  // namespace

std::string write_scene_files(const Scene& scene, const std::string& folder, const std::string& stem, bool jpeg) {
    RgbPicture picture;
    scene.picture.to_picture(&picture);
    return write_files(picture, folder, stem, jpeg, scene.x, scene.y, scene.w, scene.h, scene.plate);
}

std::string write_crop_files(const PlateCrop& crop, const std::string& folder, const std::string& stem) {
    RgbPicture picture;
    picture.width = crop.width;
    picture.height = crop.height;
    for (std::uint8_t g : crop.gray) picture.rgb.insert(picture.rgb.end(), {g, g, g});
    return write_files(picture, folder, stem, false, crop.left, crop.top, crop.right - crop.left,
                       crop.bottom - crop.top, crop.text);
}

}  // namespace platix::synth
