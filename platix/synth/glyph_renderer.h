// Text drawn with a TrueType font through FreeType, as an 8-bit coverage
// mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platix::synth {

struct TextMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;  // width x height, 0 = empty, 255 = ink
};

class GlyphRenderer {
public:
    GlyphRenderer();
    ~GlyphRenderer();
    GlyphRenderer(const GlyphRenderer&) = delete;
    GlyphRenderer& operator=(const GlyphRenderer&) = delete;

    // The installed plate fonts found on this machine.
    static std::vector<std::string> available_fonts();

    // Draws `text` with the font so that capital letters are about
    // `cap_height` pixels tall, `spacing` extra pixels between letters.
    // Every glyph ends on the baseline (descending glyphs are squeezed
    // above it), as plate lettering does.
    // Throws std::runtime_error when the font cannot be used.
    TextMask render(const std::string& font_path, const std::string& text, int cap_height, int spacing);

private:
    void* library_ = nullptr;
};

}  // namespace platix::synth
