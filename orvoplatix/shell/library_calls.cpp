// Forwarding of the library port to rasterkit and glyphnet.
#include "library_port.h"

namespace platix {

namespace {
class RealLibraries : public LibraryPort {
public:
    void clear_results() override { SEG_clear_analysis_results(); }
    int set_image_file(const char* name) override { return SEG_set_image_file(name); }
    int open_image() override { return SEG_open_image(); }
    void close_image() override { SEG_close_image(); }
    int analyze(int depth) override { return SEG_analyze_image(depth); }
    int results_number() override { return SEG_get_results_number(); }
    seg_result* results() override { return ::results; }
    int get_result(int direction, seg_result** cursor) override { return SEG_get_result(direction, cursor); }
    seg_result* select_bmap(int x, int y) override { return SEG_select_bmap(x, y); }
    PageInfo page() override {
        PageInfo p;
        p.data = videobuffer;
        if (videobuffer) {
            p.cols = MAXCOL;
            p.lines = MAXLIN;
            p.bpl = BPL;
        }
        p.xscale = XSCALE;
        p.yscale = YSCALE;
        p.n_pages = n_pages;
        p.crt_page = crt_page;
        return p;
    }
    void reset_pages() override {
        n_pages = 0;
        crt_page = 0;
    }
    ocr_io* ocr_init(const char* list_path, int show_messages) override {
        return OCR_init(list_path, show_messages);
    }
    void ocr_cleanup() override { OCR_cleanup(); }
    int kb_type(const char* kb_path) override { return OCR_get_kb_type(kb_path); }
    int recognize_field() override { return OCR_recognize_field(); }
    int base_contents(char* classes512) override { return OCR_get_base_contents(classes512); }
};
}  // namespace

LibraryPort& real_libraries() {
    static RealLibraries libs;
    return libs;
}

}  // namespace platix
