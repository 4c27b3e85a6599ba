// The record's life cycle, the knowledge-base queries and the image helpers
// of the OCR_ interface.
#include "engine/ocr_interface.h"

#include <cstring>
#include <string>

#include "engine/messages.h"
#include "engine/request.h"
#include "image/bitmap_view.h"
#include "image/framing.h"
#include "kb/kb_file.h"
#include "kb/kb_list.h"
#include "kb/kb_store.h"
#include "kb/patterns.h"
#include "field/field_reader.h"
#include "learn/learning_batch.h"
#include "zero_alloc.h"

namespace gn {
namespace {
ocr_io* g_record = nullptr;
ListEntry g_list[kMaxEntries];
int g_list_count = 0;
}  // namespace

ocr_io* record() { return g_record; }

ocr_io* ocr_init(const char* list_path, int show_messages) {
    if (g_record != nullptr) {
        std::memset(g_record, 0, sizeof(ocr_io));
    } else {
        g_record = static_cast<ocr_io*>(orvo::zero_alloc(sizeof(ocr_io)));
        if (g_record == nullptr) {
            show_message("OCR i/o data structure allocation error", "OCR_init: Fatal Error",
                         Icon::error);
            return nullptr;
        }
    }
    set_messages_on(show_messages != 0);
    batch_discard(list_path == nullptr);
    if (list_path != nullptr) {
        ListEntry list[kMaxEntries];
        const int n = read_kb_list(list_path, list);
        if (n < 0) {
            if (messages_on()) {
                orvo::zero_free(g_record);
                g_record = nullptr;
                show_message("Current knowledge bases list file damaged or missing",
                             "OCR_init: Error", Icon::error);
                return nullptr;
            }
        } else {
            std::memcpy(g_list, list, sizeof list);
            g_list_count = n;
        }
        set_entries(g_list, g_list_count);
        const int damaged = load_all_kbs();
        if (damaged > 0 && messages_on()) {
            // Name the first damaged file, so the user knows which copy to look for.
            const KbStore& s = kb_store();
            std::string path;
            for (int i = 0; i < s.entry_count && path.empty(); ++i)
                if (s.entries[i].damaged) path = s.entries[i].path;
            const std::string text = "A knowledge base file is damaged and was not loaded:\n" + path +
                                     "\nA copy of it will be kept as " + path +
                                     ".damaged before it is replaced";
            show_message(text.c_str(), "OCR_init: Warning", Icon::warning);
        }
    }
    if (kb_store().loaded_count == 0 && messages_on())
        show_message(
            "No knowledge base loaded for the moment\n(Unspecified / empty / unavailable / "
            "unallocated)",
            "OCR_init: Warning", Icon::warning);
    return g_record;
}

void ocr_cleanup() {
    batch_discard(false);
    orvo::zero_free(g_record);
    g_record = nullptr;
    release_all_kbs();
    install_bitmap(nullptr, 0, 0);
}

int ocr_reset() {
    if (g_record == nullptr) {
        show_message("OCR i/o structure wasn't previously allocated", "OCR_reset: Error",
                     Icon::error);
        return 0;
    }
    std::memset(g_record, 0, sizeof(ocr_io));
    batch_discard(true);
    return 1;
}

void take_request(const ocr_io* io) {
    Request& rq = request();
    rq.kb_mode = io->kb_mode;
    rq.kb_index = io->kb_index;
    rq.gap_tolerant = io->gap_tolerant != 0;
    rq.wide_gaps = io->wide_gaps != 0;
}

int ocr_recognize_field() {
    ocr_io* io = g_record;
    if (io == nullptr) return 0;
    io->box_count = 0;
    std::memset(io->text, 0, sizeof io->text);
    std::memset(io->raw_text, 0, sizeof io->raw_text);
    std::memset(io->boxes, 0, sizeof io->boxes);
    install_bitmap(io->image_bits, io->rows, io->bytes_per_row);
    take_request(io);
    if (!select_kbs(io->kb_mode, io->kb_index, io->gap_tolerant != 0) && messages_on())
        show_message(
            "No knowledge base loaded for the moment\n(Unsuitable / empty / unavailable / "
            "unfound)",
            "OCR_recognize_field: Warning", Icon::warning);
    if (io->kb_mode == 255) return read_single_character(io);
    return read_field(io);
}

int ocr_get_kb_type(const char* kb_path) { return kb_type_of_file(kb_path); }

int ocr_get_base_contents(char* buffer512) {
    if (buffer512 == nullptr) return 0;
    std::memset(buffer512, 0, 512);
    const char* title = "OCR_get_base_contents: Warning";
    const int index = g_record != nullptr ? g_record->kb_index : 0;
    if (index <= 0 || !select_kbs(g_record->kb_mode, index, g_record->gap_tolerant != 0)) {
        if (messages_on())
            show_message("Current knowledge base unspecified or not present", title,
                         Icon::warning);
        return 0;
    }
    make_current(index - 1);
    if (const PatternTable* held = batch_table_for(index - 1)) {
        // A learning batch is teaching this base: its table is the current one.
        if (held->count > 0) return 2 * class_table(*held, buffer512);
        if (messages_on())
            show_message("Couldn't load current patterns file\n(File doesn't exist or opening "
                         "error)",
                         title, Icon::warning);
        return 0;
    }
    PatternTable t;
    const int rc = load_patterns(current_kb()->patterns_path, &t);
    if (rc <= 0) {
        if (messages_on())
            show_message(rc == 0 ? "Couldn't load current patterns file\n(File doesn't exist "
                                   "or opening error)"
                                 : "Couldn't load current patterns file\n(Memory allocation "
                                   "error)",
                         title, Icon::warning);
        return 0;
    }
    const int n = class_table(t, buffer512);
    release_patterns(&t);
    return 2 * n;
}

unsigned char* ocr_image_row_address(int row) {
    return const_cast<unsigned char*>(row_address(row));
}

int ocr_is_row_empty(int row, int first_byte, int end_byte) {
    return row_bytes_empty(row, first_byte, end_byte);
}

int ocr_is_col_empty(int column, int first_row, int end_row) {
    return col_has_ink(column, first_row, end_row) ? 0 : 1;
}

int ocr_adjust_char_frame(int* left, int* top, int* width, int* height) {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return 0;
    if (g_record != nullptr) request().gap_tolerant = g_record->gap_tolerant != 0;
    frame_char(*left, *top, *width, *height);
    const Frame& f = current_frame();
    *left = f.left;
    *top = f.top;
    *width = f.width;
    *height = f.height;
    return f.width;
}

}  // namespace gn
