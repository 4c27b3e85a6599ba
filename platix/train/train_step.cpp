// Teaching one labelled image's plate characters to the engine.
#include "train_step.h"

#include <algorithm>
#include <cstring>

#include "coords.h"
#include "field_reading.h"
#include "orvosys.h"

namespace platix {

namespace {

// Teaches one character: region = its box, no earlier frame, the class
// read as shown class (empty for an unread one), the label as taught class.
bool teach(ocr_io* io, const CharResult& c, char label) {
    io->left = c.bitmap_box[0];
    io->top = c.bitmap_box[1];
    io->right = c.bitmap_box[2];
    io->bottom = c.bitmap_box[3];
    std::memset(io->prior_frame, 0, sizeof io->prior_frame);
    std::memset(io->shown_class, 0, sizeof io->shown_class);
    std::strncpy(io->shown_class, c.raw.c_str(), sizeof io->shown_class - 1);
    std::memset(io->taught_class, 0, sizeof io->taught_class);
    io->taught_class[0] = label;
    io->kb_index = 1;
    return OCR_learn_char() == 1;
}

bool same_char(const std::string& read, char label) {
    if (read.size() != 1) return false;
    const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    return up(read[0]) == up(label);
}

// While it lives, the engine's messages are not shown: a variant that the
// engine cannot frame is simply not taught.
class SilentEngine {
public:
    SilentEngine() { previous_ = osys_set_message_presenter(&silent, nullptr, &context_); }
    ~SilentEngine() { osys_set_message_presenter(previous_, context_, nullptr); }
    SilentEngine(const SilentEngine&) = delete;
    SilentEngine& operator=(const SilentEngine&) = delete;

private:
    static int silent(void*, const char*, const char*, unsigned style) {
        return (style & OSYS_MB_BUTTONS) == OSYS_MB_OK ? OSYS_IDOK : OSYS_IDNO;
    }
    osys_presenter previous_ = nullptr;
    void* context_ = nullptr;
};

}  // namespace

int teach_variants(ocr_io* io, const CharImage& picture, char label, int n) {
    int learned = 0;
    const RecognitionSettings settings;
    for (const Variant& v : variant_plan(n)) {
        CharImage variant = make_variant(picture, v);
        if (!useful_variant(picture, variant)) continue;
        // Read on its own, the variant is one character or nothing.
        FieldResult read;
        const ImageResult page;
        read_field(io, variant.bits.data(), variant.width, variant.height, variant.bpl, settings, read, page);
        if (read.chars.size() == 1 && same_char(read.chars[0].c, label)) continue;
        CharResult c;
        c.raw = read.chars.size() == 1 ? read.chars[0].raw : "";
        c.bitmap_box[2] = variant.width;
        c.bitmap_box[3] = variant.height;
        const SilentEngine quiet;
        if (teach(io, c, label)) ++learned;
    }
    return learned;
}

std::vector<std::size_t> fields_in_box(const ImageResult& r, const LabelledImage& l) {
    std::vector<std::size_t> sel;
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        if (centre_inside(r.fields[i].file_box, l.x, l.y, l.w, l.h)) sel.push_back(i);
    }
    // Reading order: rows from the top, then from the left.
    std::stable_sort(sel.begin(), sel.end(), [&](std::size_t a, std::size_t b) {
        const Box& A = r.fields[a].page_box;
        const Box& B = r.fields[b].page_box;
        const int ca = (A.top + A.bottom) / 2, cb = (B.top + B.bottom) / 2;
        if (ca > B.bottom && cb < A.top) return false;
        if (cb > A.bottom && ca < B.top) return true;
        if (A.bottom < B.top) return true;
        if (B.bottom < A.top) return false;
        return A.left < B.left;
    });
    return sel;
}

TrainImageOutcome train_image(ocr_io* io, ImageResult& r, const LabelledImage& l, int variants, Region region) {
    TrainImageOutcome out;
    const auto sel = fields_in_box(r, l);
    if (sel.empty()) {
        out.kind = TrainImageOutcome::no_field;
        return out;
    }
    const std::string plate = normalise_plate(l.plate);
    RecognitionSettings settings;  // whole field, any characters, template "C"
    settings.region = region;
    std::vector<std::size_t> counts;
    std::size_t total = 0;
    for (std::size_t k : sel) {
        FieldResult& f = r.fields[k];
        if (f.bitmap.empty()) continue;
        read_field(io, f.bitmap.data(), f.columns, f.lines, f.bpl, settings, f, r);
        counts.push_back(f.chars.size());
        total += f.chars.size();
    }
    if (total != plate.size() || counts.size() != sel.size()) {
        out.kind = TrainImageOutcome::count_mismatch;
        return out;
    }
    out.kind = TrainImageOutcome::used;
    // The taught characters, cut before any variant takes the engine's
    // current bitmap away from the field.
    std::vector<std::pair<CharImage, char>> taught;
    std::size_t at = 0;
    for (std::size_t n = 0; n < sel.size(); ++n) {
        FieldResult& f = r.fields[sel[n]];
        // Read again so that this field's bitmap is the one the engine
        // holds while its characters are taught.
        read_field(io, f.bitmap.data(), f.columns, f.lines, f.bpl, settings, f, r);
        if (f.chars.size() != counts[n]) {
            at += counts[n];
            continue;
        }
        for (const auto& c : f.chars) {
            const char label = plate[at++];
            if (same_char(c.c, label)) {
                ++out.right;
            } else if (teach(io, c, label)) {
                ++out.taught;
                if (variants > 0)
                    taught.emplace_back(cut_character(f.bitmap.data(), f.columns, f.lines, f.bpl, c.bitmap_box), label);
            } else {
                ++out.failed;
            }
        }
    }
    for (const auto& [picture, label] : taught) out.variants += teach_variants(io, picture, label, variants);
    return out;
}

}  // namespace platix
