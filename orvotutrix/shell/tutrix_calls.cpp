// Forwarding of the training program's library port: the recognition
// program's calls plus rotation, the page cursor and the training session.
#include "learner.h"
#include "tutrix_port.h"

namespace tutrix {

namespace {
class RealTutrix : public TutrixLibraries {
public:
    platix::LibraryPort& base = platix::real_libraries();
    void clear_results() override { base.clear_results(); }
    int set_image_file(const char* name) override { return base.set_image_file(name); }
    int open_image() override { return base.open_image(); }
    void close_image() override { base.close_image(); }
    int analyze(int depth) override { return base.analyze(depth); }
    int results_number() override { return base.results_number(); }
    seg_result* results() override { return base.results(); }
    int get_result(int direction, seg_result** cursor) override { return base.get_result(direction, cursor); }
    seg_result* select_bmap(int x, int y) override { return base.select_bmap(x, y); }
    platix::PageInfo page() override { return base.page(); }
    void reset_pages() override { base.reset_pages(); }
    ocr_io* ocr_init(const char* list_path, int show_messages) override { return base.ocr_init(list_path, show_messages); }
    void ocr_cleanup() override { base.ocr_cleanup(); }
    int kb_type(const char* kb_path) override { return base.kb_type(kb_path); }
    int recognize_field() override { return base.recognize_field(); }
    int base_contents(char* classes512) override { return base.base_contents(classes512); }
    int rotate(int angle) override { return SEG_do_rotate_image(angle); }
    void set_crt_page(int page) override { crt_page = page; }
    int train(void* parent, ocr_io* io, seg_result** current, const char* list_path) override {
        return LRN_do_training_session(parent, io, current, list_path);
    }
};
}  // namespace

TutrixLibraries& real_tutrix_libraries() {
    static RealTutrix libs;
    return libs;
}

}  // namespace tutrix
