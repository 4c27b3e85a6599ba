// The field reading sequence from the region to the output text.
#include "field/field_reader.h"

#include <cstring>

#include "classify/classifier.h"
#include "classify/features.h"
#include "engine/messages.h"
#include "engine/request.h"
#include "field/cell_reader.h"
#include "field/height_rules.h"
#include "field/space_width.h"
#include "image/framing.h"
#include "kb/kb_store.h"
#include "text/text_rules.h"
#include "zero_alloc.h"

namespace gn {
namespace {

void copy_out(ocr_io* io, const SlotString& s) {
    std::memcpy(io->raw_text, s.bytes, static_cast<std::size_t>(s.len));
    io->raw_text[s.len] = '\0';
    slots_to_text(s.bytes, io->template_, io->kb_mode, io->text, sizeof io->text);
    io->box_count = s.box_count;
    std::memcpy(io->boxes, s.boxes, sizeof(int) * 4 * static_cast<std::size_t>(s.box_count));
}

}  // namespace

int read_field(ocr_io* io) {
    auto* segs = static_cast<Segment*>(orvo::zero_alloc_array(kMaxSegments, sizeof(Segment)));
    auto* slots = static_cast<SlotString*>(orvo::zero_alloc(sizeof(SlotString)));
    int result = 0;
    if (segs != nullptr && slots != nullptr) {
        const int n = find_segments(io->left, io->top, io->right, io->bottom, segs, kMaxSegments);
        int aw = 0, ah = 0;
        const int cells = n > 0 ? clean_up_segments(segs, n, &aw, &ah) : 0;
        if (cells > 0) {
            const int space = space_width(segs, cells, aw, ah, request().gap_tolerant);
            read_cells(segs, cells, space, slots);
            apply_height_rules(slots, segs, cells);
            if (slots->box_count > 0) {
                copy_out(io, *slots);
                result = slots->box_count;
            }
        }
    }
    orvo::zero_free(segs);
    orvo::zero_free(slots);
    return result;
}

int read_single_character(ocr_io* io) {
    if (!frame_char(io->left, io->top, io->right - io->left, io->bottom - io->top)) {
        show_message("Couldn't get a framing rectangle on this character/group", "Error",
                     Icon::error);
        return 0;
    }
    const Frame f = current_frame();
    FeatureVector& v = current_vector();
    extract_features(f.left, f.top, f.width, f.height, &v);
    current_shape() = shape_code(v.v);
    const KbEntry* e = current_kb();
    const ClassAnswer a =
        (e != nullptr && e->selected) ? classify_in(e->nets, v.v, current_shape()) : ClassAnswer{};
    const unsigned char c1 = a.found ? a.c1 : '^', c2 = a.found ? a.c2 : '_';
    io->raw_text[0] = static_cast<char>(c1);
    io->raw_text[1] = static_cast<char>(c2);
    io->raw_text[2] = '\0';
    io->text[0] = static_cast<char>(c1);
    io->text[1] = c2 == '_' ? '\0' : static_cast<char>(c2);
    io->text[2] = '\0';
    io->boxes[0][0] = f.left;
    io->boxes[0][1] = f.top;
    io->boxes[0][2] = f.left + f.width;
    io->boxes[0][3] = f.top + f.height;
    io->box_count = 1;
    return 1;
}

}  // namespace gn
