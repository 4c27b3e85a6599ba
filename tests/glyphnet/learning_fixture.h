// Learning fixture: a listed base in a temporary folder, glyphs taught through OCR_, messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "glyph_font.h"
#include "glyphnet.h"
#include "message_log.h"
#include "zero_alloc.h"

namespace gntest {

using Bytes = std::vector<std::uint8_t>;

// One learning call: glyph g (' ': an empty field) at `scale` taught as `taught`, read as `shown`;
// g == 0 unlearns class `taught`, g == '-' removes the patterns file.
struct Step { char g; const char *taught, *shown; int scale; };

class LearningTest : public ::testing::Test {
public:
    void TearDown() override { orvo::alloc_fail_at(0), OCR_cleanup(); }
    // Lists plates.kbf of `d` (then the `more` lines) and initialises the engine on it.
    void open_base(const testsupport::TempDir& d, const std::string& more = "") {
        kb = d.file("plates.kbf"), dat = d.file("plates.dat"), list = d.file("list.$$$");
        const std::string text = "[0] " + kb + "\r\n" + more;
        testsupport::write_bytes(list, Bytes(text.begin(), text.end()));
        init();
    }
    void init() {
        io = OCR_init(list.c_str(), 0);
        ASSERT_NE(io, nullptr);
        io->kb_index = 1;
    }
    // Reads glyph g (' ': nothing) drawn alone and names the classes of the next learning call.
    void show_glyph(char g, const char* taught, const char* shown_cls, int scale = 4) {
        glyph = TestBitmap(5 * scale + 20, 7 * scale + 20);
        if (g != ' ') draw_glyph(glyph, g, 10, 10, scale);
        testsupport::show_whole_field(io, glyph);
        OCR_recognize_field();
        std::snprintf(io->taught_class, sizeof io->taught_class, "%s", taught);
        std::snprintf(io->shown_class, sizeof io->shown_class, "%s", shown_cls);
        std::memset(io->prior_frame, 0, sizeof io->prior_frame);
    }
    int teach(char g, const char* taught, const char* shown_cls = "", int scale = 4) {
        show_glyph(g, taught, shown_cls, scale);
        io->kb_index = 1;
        return OCR_learn_char();
    }
    int unlearn(const char* cls) {
        io->kb_index = 1;
        std::snprintf(io->taught_class, sizeof io->taught_class, "%s", cls);
        return OCR_unlearn_char();
    }
    void teach_all(const std::string& glyphs) {  // each glyph as its own class
        for (char c : glyphs) ASSERT_EQ(teach(c, std::string(1, c).c_str()), 1) << c;
    }
    int run(const Step& s) {
        if (s.g == '-') return std::remove(dat.c_str()) == 0;
        return s.g == 0 ? unlearn(s.taught) : teach(s.g, s.taught, s.shown, s.scale);
    }
    // The one character read from the installed bitmap.
    std::string read_alone() {
        io->kb_mode = 255;
        OCR_recognize_field();
        io->kb_mode = 0;
        return io->text;
    }
    std::string read_glyph(char g) { return show_glyph(g, "", ""), read_alone(); }
    std::pair<Bytes, Bytes> files() const { return {testsupport::read_bytes(kb), testsupport::read_bytes(dat)}; }
    // Class and kind (+ sample, - counter-sample) of every patterns record.
    std::vector<std::string> records() const {
        const Bytes b = testsupport::read_bytes(dat);
        std::vector<std::string> r;
        for (std::size_t i = 0; i + 52 <= b.size(); i += 52)
            r.push_back(std::string{char(b[i]), char(b[i + 1])} + (b[i + 2] == 0xFF ? "-" : "+"));
        return r;
    }
    void expect_last(const char* title, const std::string& text) const {
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back().title, title);
        EXPECT_EQ(shown.back().text, text);
    }

    std::string kb, dat, list;
    ocr_io* io = nullptr;
    TestBitmap glyph{1, 1};
    testsupport::MessageLog log;
    std::vector<testsupport::ShownBox>& shown = log.shown;
};

inline const char* const kSaveFailed = "Couldn't save the knowledge base files\n(the previous files were kept)";

}  // namespace gntest
