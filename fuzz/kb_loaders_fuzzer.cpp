// Fuzz target: the knowledge-base list, knowledge-base and patterns files.
// The input holds the three files; the engine is started on them with
// messages off, asked for the base's type and class table, reads a drawn
// field with the nets it loaded and, when the flags say so, learns and
// unlearns in the loaded base.
//
// Input layout: flags (byte: bit 0 learn, bit 1 unlearn), list length and
// knowledge-base length (16-bit little-endian each), the list file, the
// knowledge-base file, and the rest as the patterns file. The files are
// written as "list", "k.kbf" and "k.dat" in the process's working folder,
// (entered for the call and left after it), so that lists naming "k.kbf"
// load them. Every '/' of the list becomes
// '_', so that no listed path leaves that folder; learning always writes
// to "k.kbf" through a list of its own.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_glyphs.h"
#include "fuzz_support.h"
#include "glyphnet.h"
#include "orvosys.h"

namespace {

// Learning rebuilds nets over every sample: keep patterns files small.
constexpr std::size_t kMaxLearnPatterns = 16384;

void run_engine(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t flags = data[0];
    const std::size_t list_len = std::min<std::size_t>(fuzzsupport::le16(data + 1), size - 5);
    const std::size_t kb_len = std::min<std::size_t>(fuzzsupport::le16(data + 3), size - 5 - list_len);
    const std::uint8_t* list = data + 5;
    const std::uint8_t* kb = list + list_len;
    const std::uint8_t* dat = kb + kb_len;
    const std::size_t dat_len = size - 5 - list_len - kb_len;
    std::string list_text(reinterpret_cast<const char*>(list), list_len);
    for (char& c : list_text)
        if (c == '/') c = '_';
    const auto* list_bytes = reinterpret_cast<const std::uint8_t*>(list_text.data());
    if (!fuzzsupport::write_file("list", list_bytes, list_len) || !fuzzsupport::write_file("k.kbf", kb, kb_len) ||
        !fuzzsupport::write_file("k.dat", dat, dat_len))
        return;

    ocr_io* io = OCR_init("list", 0);
    const int type = OCR_get_kb_type("k.kbf");
    if (type < 0 || type > 2) std::abort();
    if (io == nullptr) {
        OCR_cleanup();
        return;
    }
    io->kb_index = 1;
    char classes[512];
    const int n = OCR_get_base_contents(classes);
    if (n < 0 || n > 510 || n % 2 != 0 || classes[n] != 0) std::abort();

    // Read a drawn field with whatever nets were loaded.
    fuzzglyphs::Bitmap field(96, 40);
    fuzzglyphs::draw_text(field, "HE 47", 4, 6, 4);
    testsupport::show_whole_field(io, field);
    io->kb_index = 0;
    const int boxes = OCR_recognize_field();
    if (boxes < 0 || boxes > 2046) std::abort();

    if ((flags & 3) == 0 || dat_len > kMaxLearnPatterns) {
        OCR_cleanup();
        return;
    }
    static const std::string own_list = [] {
        const char text[] = "[0] k.kbf\r\n";
        fuzzsupport::write_file("own-list", reinterpret_cast<const std::uint8_t*>(text), sizeof text - 1);
        return std::string("own-list");
    }();
    io = OCR_init(own_list.c_str(), 0);
    if (io == nullptr) std::abort();
    if (flags & 1) {
        io->kb_index = 1;
        fuzzglyphs::Bitmap glyph(27, 35);
        fuzzglyphs::draw(glyph, 'T', 4, 4, 3);
        testsupport::show_whole_field(io, glyph);
        OCR_recognize_field();
        std::snprintf(io->taught_class, sizeof io->taught_class, "%c", static_cast<char>(flags >> 2 | 0x40));
        fuzzglyphs::set_shown(io->shown_class, io->text);
        std::memset(io->prior_frame, 0, sizeof io->prior_frame);
        OCR_learn_char();
    }
    if (flags & 2) {
        io->kb_index = 1;
        io->taught_class[0] = static_cast<char>(flags >> 2 | 0x40);
        io->taught_class[1] = 0;
        OCR_unlearn_char();
    }
    OCR_cleanup();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string home = [] {
        osys_set_message_presenter(&fuzzsupport::silent_presenter, nullptr, nullptr);
        char cwd[4096];
        return std::string(getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".");
    }();
    if (size < 5 || size > 65536) return 0;
    if (chdir(fuzzsupport::scratch_dir().c_str()) != 0) return 0;
    run_engine(data, size);
    if (chdir(home.c_str()) != 0) std::abort();
    return 0;
}
