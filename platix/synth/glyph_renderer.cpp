// FreeType text rendering for the synthetic plates.
#include "glyph_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <filesystem>
#include <stdexcept>

namespace platix::synth {

GlyphRenderer::GlyphRenderer() {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType could not start");
    library_ = lib;
}

GlyphRenderer::~GlyphRenderer() {
    if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

std::vector<std::string> GlyphRenderer::available_fonts() {
    static const char* candidates[] = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Bold.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf",
        // Lighter weights, as on older and foreign plates.
        "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSansNarrow-Regular.ttf",
    };
    std::vector<std::string> found;
    for (const char* c : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(c, ec)) found.emplace_back(c);
    }
    return found;
}

TextMask GlyphRenderer::render(const std::string& font_path, const std::string& text, int cap_height, int spacing) {
    FT_Face face = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library_), font_path.c_str(), 0, &face) != 0)
        throw std::runtime_error("cannot load font " + font_path);
    // Capitals are about 0.73 of the em in these fonts.
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(4, cap_height * 100 / 73)));
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    const int descent = static_cast<int>(-(face->size->metrics.descender >> 6));
    TextMask m;
    // First pass: width.
    int pen = 0;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_DEFAULT) != 0) continue;
        pen += static_cast<int>(face->glyph->advance.x >> 6) + spacing;
    }
    m.width = std::max(pen + 4, 1);
    m.height = ascent + descent + 2;
    m.alpha.assign(static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height), 0);
    pen = 2;
    for (char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER) != 0) continue;
        const FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& b = g->bitmap;
        const int rows = static_cast<int>(b.rows);
        // Plate lettering stands on the baseline: a capital that descends
        // below it in a print font (J in some) is squeezed to sit on it.
        const bool squeeze = g->bitmap_top > 0 && rows > g->bitmap_top;
        const int drawn = squeeze ? g->bitmap_top : rows;
        for (int row = 0; row < drawn; ++row) {
            const int src = squeeze ? row * rows / drawn : row;
            for (unsigned col = 0; col < b.width; ++col) {
                const int x = pen + g->bitmap_left + static_cast<int>(col);
                const int y = 1 + ascent - g->bitmap_top + row;
                if (x < 0 || y < 0 || x >= m.width || y >= m.height) continue;
                auto& a = m.alpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) + static_cast<std::size_t>(x)];
                a = std::max(a, b.buffer[static_cast<std::size_t>(src) * static_cast<std::size_t>(std::abs(b.pitch)) + col]);
            }
        }
        pen += static_cast<int>(g->advance.x >> 6) + spacing;
    }
    FT_Done_Face(face);
    return m;
}

}  // namespace platix::synth
