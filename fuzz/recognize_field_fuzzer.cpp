// Fuzz target: reading a field. A small knowledge base is taught once, from
// drawn glyphs; each input then gives a 1-bit bitmap, the region to read
// inside it and the request (character kind, gap flags, template).
//
// Input layout: width - 1 (byte), height - 1 (byte), kind (byte: 0, 1, 2 or
// 255 by its value mod 4), flags (bit 0 gap tolerant, bit 1 wide gaps, bit 2
// one base only), four bytes that place the region inside the bitmap,
// template length (byte, mod 8) and template, then the bitmap rows
// (missing bytes are background).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_glyphs.h"
#include "fuzz_support.h"
#include "glyphnet.h"
#include "orvosys.h"

namespace {

ocr_io* io = nullptr;

// Teaches every glyph of kTaught at two scales into a base of its own.
ocr_io* start_engine() {
    osys_set_message_presenter(&fuzzsupport::silent_presenter, nullptr, nullptr);
    const std::string kb = fuzzsupport::scratch_file("field.kbf");
    std::remove(kb.c_str());
    std::remove(fuzzsupport::scratch_file("field.dat").c_str());
    const std::string list_path = fuzzsupport::scratch_file("field-list");
    const std::string list = "[0] " + kb + "\r\n";
    fuzzsupport::write_file(list_path, reinterpret_cast<const std::uint8_t*>(list.data()), list.size());
    ocr_io* r = OCR_init(list_path.c_str(), 0);
    if (r == nullptr) std::abort();
    r->kb_index = 1;
    for (int scale : {3, 5}) {
        for (char c : fuzzglyphs::kTaught) {
            fuzzglyphs::Bitmap b(5 * scale + 12, 7 * scale + 12);
            fuzzglyphs::draw(b, c, 6, 6, scale);
            testsupport::show_whole_field(r, b);
            OCR_recognize_field();
            std::snprintf(r->taught_class, sizeof r->taught_class, "%c", c);
            fuzzglyphs::set_shown(r->shown_class, r->text);
            std::memset(r->prior_frame, 0, sizeof r->prior_frame);
            if (OCR_learn_char() != 1) std::abort();
        }
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9 || size > 65536) return 0;
    if (io == nullptr) io = start_engine();

    const int width = data[0] + 1;
    const int height = data[1] + 1;
    static const unsigned char kinds[4] = {0, 1, 2, 255};
    const unsigned char kind = kinds[data[2] % 4];
    const std::uint8_t flags = data[3];
    // Region edges: left and top from the start, right and bottom back from
    // the far edges; an empty or inverted region is allowed.
    const int left = data[4] % width, top = data[5] % height;
    const int right = width - data[6] % width, bottom = height - data[7] % height;
    std::size_t at = 8;
    const std::size_t tlen = data[at++] % 8;
    char templ[8] = {};
    for (std::size_t i = 0; i < tlen && at < size; ++i) templ[i] = static_cast<char>(data[at++]);

    fuzzglyphs::Bitmap b(width, height);
    const std::size_t n = std::min(b.bits.size(), size - at);
    std::memcpy(b.bits.data(), data + at, n);

    std::memset(io, 0, sizeof *io);
    testsupport::show_whole_field(io, b);
    io->left = left;
    io->top = top;
    io->right = right;
    io->bottom = bottom;
    io->kb_mode = kind;
    std::memcpy(io->template_, templ, sizeof templ);
    io->gap_tolerant = flags & 1;
    io->wide_gaps = (flags >> 1) & 1;
    io->kb_index = (flags >> 2) & 1;

    const int boxes = OCR_recognize_field();
    if (boxes < 0 || boxes > 2046 || boxes != io->box_count) std::abort();
    if (std::memchr(io->text, 0, sizeof io->text) == nullptr ||
        std::memchr(io->raw_text, 0, sizeof io->raw_text) == nullptr)
        std::abort();
    for (int i = 0; i < boxes; ++i) {
        const int* box = io->boxes[i];
        if (box[0] < 0 || box[1] < 0 || box[0] > box[2] || box[1] > box[3] || box[2] > width || box[3] > height)
            std::abort();
    }
    return 0;
}
