// OCR_learn_char and OCR_unlearn_char: teaching the current knowledge base
// from the record's frames and classes, and removing a class. Both write the
// knowledge-base and patterns files before they return, except inside a
// learning batch, whose end writes them.
#pragma once

namespace gn {

int ocr_learn_char();
int ocr_unlearn_char();

}  // namespace gn
