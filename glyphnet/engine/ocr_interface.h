// The engine's side of the OCR_ interface: the ocr_io record and the
// functions that c_api.cpp forwards to. Each shows its own messages.
#pragma once

#include "glyphnet.h"

namespace gn {

// The record, or null before init / after cleanup.
ocr_io* record();

ocr_io* ocr_init(const char* list_path, int show_messages);
void ocr_cleanup();
int ocr_reset();
int ocr_get_kb_type(const char* kb_path);
int ocr_recognize_field();
// Copies the record's request options for the inner steps.
void take_request(const ocr_io* io);
int ocr_get_base_contents(char* buffer512);
unsigned char* ocr_image_row_address(int row);
int ocr_is_row_empty(int row, int first_byte, int end_byte);
int ocr_is_col_empty(int column, int first_row, int end_row);
int ocr_adjust_char_frame(int* left, int* top, int* width, int* height);

}  // namespace gn
