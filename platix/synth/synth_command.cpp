// platix synth: write synthetic plate scenes and their label files.
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "commands.h"
#include "synth/glyph_renderer.h"
#include "synth/plate_crops.h"
#include "synth/region_style.h"
#include "synth/scene.h"
#include "synth/scene_files.h"

namespace fs = std::filesystem;

namespace platix {

int run_synth(const SynthOptions& o) {
    synth::PlateRegion region = synth::PlateRegion::mixed;
    if (!o.style.empty() && !synth::parse_region(o.style, &region))
        throw UsageError("--style: expected eu, us or br, got '" + o.style + "'");
    const auto fonts =
        region == synth::PlateRegion::mixed ? synth::GlyphRenderer::available_fonts() : synth::region_fonts(region);
    if (fonts.empty()) {
        if (region == synth::PlateRegion::mixed)
            std::fprintf(stderr, "platix: no plate font found (install fonts-dejavu-core or fonts-liberation)\n");
        else
            std::fprintf(stderr, "platix: no font for the %s plates found (install fonts-roboto-unhinted, "
                                 "fonts-dejavu-extra or fonts-liberation)\n",
                         synth::region_name(region));
        return 1;
    }
    std::error_code ec;
    fs::create_directories(o.out_dir, ec);
    if (!fs::is_directory(o.out_dir, ec)) {
        std::fprintf(stderr, "platix: %s: cannot make the folder\n", o.out_dir.c_str());
        return 1;
    }
    if (o.crops) {
        const auto crops = synth::make_plate_crops(o.count, {region}, o.seed);
        for (std::size_t i = 0; i < crops.size(); ++i) {
            char stem[32];
            std::snprintf(stem, sizeof stem, "crop%05zu", i + 1);
            try {
                synth::write_crop_files(crops[i], o.out_dir, stem);
            } catch (const std::runtime_error& e) {
                std::fprintf(stderr, "platix: %s\n", e.what());
                return 1;
            }
        }
        return 0;
    }
    synth::GlyphRenderer glyphs;
    synth::Rng rng(o.seed);
    for (int i = 0; i < o.count; ++i) {
        const synth::Scene scene = synth::make_scene(rng, glyphs, fonts, region);
        const bool jpeg = o.image_format == "jpeg" || (o.image_format == "mixed" && i % 2 == 1);
        char stem[32];
        std::snprintf(stem, sizeof stem, "scene%05d", i + 1);
        try {
            synth::write_scene_files(scene, o.out_dir, stem, jpeg);
        } catch (const std::runtime_error& e) {
            std::fprintf(stderr, "platix: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}

}  // namespace platix
