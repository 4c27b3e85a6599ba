// Reading one field bitmap with the recognition engine and collecting its
// text, raw answer and character boxes; with a region, also reading it with
// the region's plate syntaxes and keeping the best-fitting one.
#include "field_reading.h"

#include <cstring>

#include "coords.h"
#include "plate_syntax.h"
#include "text/text_rules.h"

namespace platix {

namespace {

// Points the record at the whole field and reads it with `kb_mode` and the
// text template `tmpl`; returns the engine's box count.
int recognise(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl, int kb_mode,
              const std::string& tmpl) {
    io->image_bits = const_cast<unsigned char*>(bits);
    io->columns = columns;
    io->rows = lines;
    io->bytes_per_row = bpl;
    io->left = 0;
    io->top = 0;
    io->right = columns;
    io->bottom = lines;
    io->kb_mode = static_cast<unsigned char>(kb_mode);
    std::memset(io->template_, 0, sizeof io->template_);
    std::strncpy(io->template_, tmpl.c_str(), sizeof io->template_ - 1);
    return OCR_recognize_field();
}

std::string answer_text(const ocr_io* io) { return std::string(io->text, ::strnlen(io->text, sizeof io->text)); }

// Fills the field from the record's last answer, with `text` as its text.
void collect(const ocr_io* io, const std::string& text, int lines, FieldResult& field, const ImageResult& page) {
    field.text = text;
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

}  // namespace

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

std::string with_blanks_of(const std::string& plain, const std::string& shaped) {
    std::string out;
    std::size_t k = 0;
    for (char c : plain) {
        if (c == ' ') {
            out += ' ';
        } else if (k < shaped.size()) {
            out += shaped[k++];
        }
    }
    out.append(shaped, k < shaped.size() ? k : shaped.size(), std::string::npos);
    return out;
}

void read_field(ocr_io* io, const unsigned char* bits, int columns, int lines, int bpl,
                const RecognitionSettings& settings, FieldResult& field, const ImageResult& page) {
    field.text.clear();
    field.raw.clear();
    field.chars.clear();
    field.syntax.clear();
    const int count = recognise(io, bits, columns, lines, bpl, settings.kb_mode, settings.text_template);
    if (count <= 0) return;
    const std::string plain = answer_text(io);

    // A text template is the engine's last step: it only reshapes the text
    // made from the reading's slot string (the raw answer), so the text of
    // a syntax's template is that step applied to the same slots, and the
    // boxes and raw answer stay those of this one reading.
    const std::string compact = without_blanks(plain);
    std::vector<std::string> patterns, shaped;
    for (const auto& s : region_syntaxes(settings.region)) {
        const std::string pattern = s.pattern;
        if (pattern.size() != compact.size()) continue;
        const std::string tmpl = syntax_template(pattern);
        if (tmpl.empty()) continue;
        char text[sizeof io->text];
        gn::slots_to_text(io->raw_text, tmpl.c_str(), settings.kb_mode, text, sizeof text);
        patterns.push_back(pattern);
        shaped.push_back(without_blanks(std::string(text, ::strnlen(text, sizeof text))));
    }
    const int best = choose_syntax(patterns, compact, shaped);
    if (best >= 0) {
        const auto b = static_cast<std::size_t>(best);
        field.syntax = patterns[b];
        collect(io, with_blanks_of(plain, shaped[b]), lines, field, page);
        return;
    }
    // No syntax fits: the plain reading.
    collect(io, plain, lines, field, page);
}

}  // namespace platix
