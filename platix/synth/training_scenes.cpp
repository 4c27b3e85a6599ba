// Synthetic scenes for a training run.
#include "training_scenes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "glyph_renderer.h"
#include "region_style.h"
#include "rng.h"
#include "scene.h"
#include "scene_files.h"

namespace fs = std::filesystem;

namespace platix::synth {

std::vector<PlateRegion> styles_for_labels(const std::vector<std::string>& label_paths) {
    std::vector<PlateRegion> styles;
    for (const auto& p : label_paths) {
        fs::path path = fs::path(p).lexically_normal();
        if (path.filename().empty()) path = path.parent_path();  // "plates/eu/"
        std::error_code ec;
        if (fs::is_regular_file(path, ec)) path = path.parent_path();
        PlateRegion r;
        if (parse_region(path.filename().string(), &r) && std::find(styles.begin(), styles.end(), r) == styles.end())
            styles.push_back(r);
    }
    if (styles.empty()) styles = {PlateRegion::eu, PlateRegion::us, PlateRegion::br};
    return styles;
}

std::vector<std::string> write_training_scenes(int count, const std::vector<PlateRegion>& styles, unsigned long seed,
                                               const std::string& folder) {
    if (styles.empty()) throw std::invalid_argument("no plate style for the synthetic scenes");
    std::vector<std::vector<std::string>> fonts;
    for (PlateRegion r : styles) {
        fonts.push_back(r == PlateRegion::mixed ? GlyphRenderer::available_fonts() : region_fonts(r));
        if (fonts.back().empty())
            throw std::runtime_error(std::string("no font for the ") + region_name(r) +
                                     " plates (install fonts-roboto-unhinted, fonts-dejavu-extra or fonts-liberation)");
    }
    GlyphRenderer glyphs;
    Rng rng(seed);
    std::vector<std::string> label_files;
    for (int k = 0; k < count; ++k) {
        const std::size_t s = static_cast<std::size_t>(k) % styles.size();
        const Scene scene = make_scene(rng, glyphs, fonts[s], styles[s]);
        char stem[32];
        std::snprintf(stem, sizeof stem, "synth%05d", k + 1);
        label_files.push_back(write_scene_files(scene, folder, stem, false));
    }
    return label_files;
}

TrainingScenes::TrainingScenes(int count, const std::vector<std::string>& label_paths, unsigned long seed) {
    if (count <= 0) return;
    folder_ = std::make_unique<ScratchFolder>("platix-synth");
    files_ = write_training_scenes(count, styles_for_labels(label_paths), seed, folder_->path());
}

}  // namespace platix::synth
