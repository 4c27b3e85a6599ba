// platix synth: write synthetic plate scenes and their label files.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "commands.h"
#include "png_out.h"
#include "synth/glyph_renderer.h"
#include "synth/scene.h"

namespace fs = std::filesystem;

namespace platix {

int run_synth(const SynthOptions& o) {
    const auto fonts = synth::GlyphRenderer::available_fonts();
    if (fonts.empty()) {
        std::fprintf(stderr, "platix: no plate font found (install fonts-dejavu-core or fonts-liberation)\n");
        return 1;
    }
    std::error_code ec;
    fs::create_directories(o.out_dir, ec);
    if (!fs::is_directory(o.out_dir, ec)) {
        std::fprintf(stderr, "platix: %s: cannot make the folder\n", o.out_dir.c_str());
        return 1;
    }
    synth::GlyphRenderer glyphs;
    synth::Rng rng(o.seed);
    for (int i = 0; i < o.count; ++i) {
        synth::Scene scene = synth::make_scene(rng, glyphs, fonts);
        const bool jpeg = o.image_format == "jpeg" || (o.image_format == "mixed" && i % 2 == 1);
        char stem[32];
        std::snprintf(stem, sizeof stem, "scene%05d", i + 1);
        const std::string image_name = std::string(stem) + (jpeg ? ".jpg" : ".png");
        RgbPicture picture;
        scene.picture.to_picture(&picture);
        std::string why;
        const std::string image_path = (fs::path(o.out_dir) / image_name).string();
        const bool written = jpeg ? write_jpeg_file(image_path, picture, 92, &why) : write_png_file(image_path, picture, &why);
        if (!written) {
            std::fprintf(stderr, "platix: %s\n", why.c_str());
            return 1;
        }
        std::ofstream label(fs::path(o.out_dir) / (std::string(stem) + ".txt"), std::ios::binary | std::ios::trunc);
        label << image_name << '\t' << scene.x << '\t' << scene.y << '\t' << scene.w << '\t' << scene.h << '\t'
              << scene.plate << '\n';
        if (!label) {
            std::fprintf(stderr, "platix: %s: cannot write the label\n", stem);
            return 1;
        }
    }
    return 0;
}

}  // namespace platix
