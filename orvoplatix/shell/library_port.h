// The calls of the recognition program into the image library and the
// recognition engine, behind one interface so that the shell's logic can
// be driven by tests with a scripted library. The real forwarding is in
// library_calls.cpp.
#pragma once

#include "glyphnet.h"
#include "rasterkit.h"

namespace platix {

// What the program reads of the page and of the selected field bitmap.
struct PageInfo {
    const unsigned char* data = nullptr;
    int cols = 0, lines = 0, bpl = 0;
    int xscale = 1, yscale = 1;
    int n_pages = 0, crt_page = 0;
};

class LibraryPort {
public:
    virtual ~LibraryPort() = default;
    virtual void clear_results() = 0;
    virtual int set_image_file(const char* name) = 0;
    virtual int open_image() = 0;
    virtual void close_image() = 0;
    virtual int analyze(int depth) = 0;
    virtual int results_number() = 0;
    virtual seg_result* results() = 0;
    virtual int get_result(int direction, seg_result** cursor) = 0;
    virtual seg_result* select_bmap(int x, int y) = 0;
    virtual PageInfo page() = 0;
    virtual void reset_pages() = 0;
    virtual ocr_io* ocr_init(const char* list_path, int show_messages) = 0;
    virtual void ocr_cleanup() = 0;
    virtual int kb_type(const char* kb_path) = 0;
    virtual int recognize_field() = 0;
    // OCR_get_base_contents: the classes of the record's selected base.
    virtual int base_contents(char* classes512) = 0;
};

// The real libraries.
LibraryPort& real_libraries();

}  // namespace platix
