// The C interface of glyphnet: exported functions that only forward to the
// engine, catching everything and answering with the documented failure
// value.
#include "glyphnet.h"

#include "engine/ocr_interface.h"
#include "learn/learn_char.h"
#include "learn/learning_batch.h"

extern "C" {

ocr_io* OCR_init(const char* list_path, int show_messages) {
    try {
        return gn::ocr_init(list_path, show_messages);
    } catch (...) {
        return nullptr;
    }
}

void OCR_cleanup(void) {
    try {
        gn::ocr_cleanup();
    } catch (...) {
    }
}

int OCR_reset(void) {
    try {
        return gn::ocr_reset();
    } catch (...) {
        return 0;
    }
}

int OCR_get_kb_type(const char* kb_path) {
    try {
        return gn::ocr_get_kb_type(kb_path);
    } catch (...) {
        return 0;
    }
}

int OCR_recognize_field(void) {
    try {
        return gn::ocr_recognize_field();
    } catch (...) {
        return 0;
    }
}

int OCR_learn_char(void) {
    try {
        return gn::ocr_learn_char();
    } catch (...) {
        return 0;
    }
}

int OCR_unlearn_char(void) {
    try {
        return gn::ocr_unlearn_char();
    } catch (...) {
        return 0;
    }
}

int OCR_begin_learning_batch(void) {
    try {
        return gn::ocr_begin_learning_batch();
    } catch (...) {
        return 0;
    }
}

int OCR_end_learning_batch(void) {
    try {
        return gn::ocr_end_learning_batch();
    } catch (...) {
        return 0;
    }
}

int OCR_get_base_contents(char* buffer) {
    try {
        return gn::ocr_get_base_contents(buffer);
    } catch (...) {
        return 0;
    }
}

unsigned char* OCR_image_row_address(int row) {
    try {
        return gn::ocr_image_row_address(row);
    } catch (...) {
        return nullptr;
    }
}

int OCR_is_row_empty(int row, int first_byte, int end_byte) {
    try {
        return gn::ocr_is_row_empty(row, first_byte, end_byte);
    } catch (...) {
        return 0;
    }
}

int OCR_is_col_empty(int column, int first_row, int end_row) {
    try {
        return gn::ocr_is_col_empty(column, first_row, end_row);
    } catch (...) {
        return 0;
    }
}

int OCR_adjust_char_frame(int* left, int* top, int* width, int* height) {
    try {
        return gn::ocr_adjust_char_frame(left, top, width, height);
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
