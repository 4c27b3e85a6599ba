// Reading one field bitmap with the recognition engine and collecting its
// text, raw answer and character boxes.
#include "field_reading.h"

#include <cstring>

#include "coords.h"

namespace platix {

std::vector<std::string> raw_classes(const char* raw) {
    std::vector<std::string> out;
    const std::size_t n = ::strnlen(raw, 2048);
    for (std::size_t i = 0; i < n; i += 2) {
        const char c1 = raw[i];
        const char c2 = i + 1 < n ? raw[i + 1] : '_';
        if (c1 == ' ' && (c2 == '_' || c2 == ' ')) continue;
        if (c1 == '^' && c2 == '_') {
            out.emplace_back();
            continue;
        }
        std::string cls(1, c1);
        if (c2 != '_') cls += c2;
        out.push_back(cls);
    }
    return out;
}

void read_field(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl,
                const RecognitionSettings& settings, FieldResult& field, const ImageResult& page) {
    io->image_bits = const_cast<unsigned char*>(bits);
    io->columns = columns;
    io->rows = lines;
    io->bytes_per_row = bpl;
    io->left = 0;
    io->top = 0;
    io->right = columns;
    io->bottom = lines;
    io->kb_mode = static_cast<unsigned char>(settings.kb_mode);
    std::memset(io->template_, 0, sizeof io->template_);
    std::strncpy(io->template_, settings.text_template.c_str(), sizeof io->template_ - 1);
    const int count = OCR_recognize_field();
    field.text.clear();
    field.raw.clear();
    field.chars.clear();
    if (count <= 0) return;
    field.text.assign(io->text, ::strnlen(io->text, sizeof io->text));
    field.raw.assign(io->raw_text, ::strnlen(io->raw_text, sizeof io->raw_text));
    const auto classes = raw_classes(io->raw_text);
    const int boxes = io->box_count < 2046 ? io->box_count : 2046;
    int j = 0;
    for (char c : field.text) {
        if (c == ' ') continue;
        if (j >= boxes) break;
        CharResult ch;
        ch.c = std::string(1, c);
        ch.raw = static_cast<std::size_t>(j) < classes.size() ? classes[static_cast<std::size_t>(j)] : "";
        std::memcpy(ch.bitmap_box, io->boxes[j], sizeof ch.bitmap_box);
        ch.page_box = bitmap_box_to_page(ch.bitmap_box, field.page_box, lines, page.maxcol, page.maxlin);
        ch.file_box = page_to_file(ch.page_box, page.xscale, page.yscale, page.width, page.height);
        field.chars.push_back(ch);
        ++j;
    }
}

}  // namespace platix
