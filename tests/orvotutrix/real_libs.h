// The training program's real libraries behind its port, for tests that replace a call or two.
#pragma once

#include "tutrix_port.h"

namespace tutrixtest {

class ForwardingLibs : public tutrix::TutrixLibraries {
public:
    tutrix::TutrixLibraries& real = tutrix::real_tutrix_libraries();
    void clear_results() override { real.clear_results(); }
    int set_image_file(const char* n) override { return real.set_image_file(n); }
    int open_image() override { return real.open_image(); }
    void close_image() override { real.close_image(); }
    int analyze(int d) override { return real.analyze(d); }
    int results_number() override { return real.results_number(); }
    seg_result* results() override { return real.results(); }
    int get_result(int d, seg_result** c) override { return real.get_result(d, c); }
    seg_result* select_bmap(int x, int y) override { return real.select_bmap(x, y); }
    platix::PageInfo page() override { return real.page(); }
    void reset_pages() override { real.reset_pages(); }
    ocr_io* ocr_init(const char* l, int m) override { return real.ocr_init(l, m); }
    void ocr_cleanup() override { real.ocr_cleanup(); }
    int kb_type(const char* p) override { return real.kb_type(p); }
    int recognize_field() override { return real.recognize_field(); }
    int base_contents(char* classes512) override { return real.base_contents(classes512); }
    int rotate(int a) override { return real.rotate(a); }
    void set_crt_page(int p) override { real.set_crt_page(p); }
    int train(void* parent, ocr_io* io, seg_result** current, const char* list) override {
        return real.train(parent, io, current, list);
    }
    // Closes the page and the results, as a test ends.
    void release() {
        clear_results();
        close_image();
        reset_pages();
    }
};

}  // namespace tutrixtest
