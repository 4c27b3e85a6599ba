// Commands, slide show, mouse and quit of the recognition program.
#include "shell.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "orvosys.h"
#include "file_choice.h"
#include "kb_refusal.h"
#include "path_helpers.h"
#include "settings.h"
#include "texts.h"

namespace platix {

namespace {
void error_box(const char* text) { osys_message_box(text, "Error", OSYS_MB_OK | OSYS_MB_ICONERROR); }
}  // namespace

Shell::Shell(const std::string& start_dir, const desk::DialogTemplate& bar_template, LibraryPort& libs,
             PlatixWindows& windows, desk::CommandPoster& poster, desk::RepeatingTimer& timer,
             desk::CursorPort& cursor, desk::OpenFilePort& files)
    : Shell(read_settings(start_dir + "/orvoplatix.ini"), start_dir, bar_template, libs, windows, poster, timer,
            cursor, files) {}

Shell::Shell(const Settings& st, const std::string& start_dir, const desk::DialogTemplate& bar_template,
             LibraryPort& libs, PlatixWindows& windows, desk::CommandPoster& poster, desk::RepeatingTimer& timer,
             desk::CursorPort& cursor, desk::OpenFilePort& files)
    : start_dir_(start_dir),
      settings_path_(start_dir + "/orvoplatix.ini"),
      kb_list_path_(start_dir + "/$kbflst$.$$$"),
      image_list_path_(start_dir + "/$imglst$.$$$"),
      image_folder_(st.image_file.empty() ? start_dir : folder_part(st.image_file)),
      image_name_(st.image_file.empty() ? std::string() : name_part(st.image_file)),
      kb_folder_(st.kb_file.empty() ? start_dir : folder_part(st.kb_file)),
      kb_path_(st.kb_file),
      analysis_depth_(st.analysis_depth),
      s_{st.show_bitmap, st.show_delay},
      libs_(libs), win_(windows), poster_(poster), timer_(timer), cursor_(cursor), files_port_(files),
      bar_(bar_template, s_, poster) {
    bar_.close_request = [this] { close_request(); };
}

Shell::~Shell() = default;

void Shell::start() {
    if (!kb_path_.empty() && pathutil::file_exists(kb_path_.c_str())) {
        write_kb_list();
        if (kb_fit()) init_ocr();
    }
    libs_.reset_pages();
    s_.image_count = 0;
    s_.current_index = 0;
    bar_.enable_idle();
}

void Shell::write_kb_list() { platix::write_kb_list(libs_, kb_list_path_, kb_path_); }

bool Shell::kb_fit() {
    const std::string problem = kb_problem(libs_, kb_list_path_, kb_path_, KbUse::reading);
    if (problem.empty()) return true;
    libs_.ocr_cleanup();
    ocr_ = nullptr;
    pathutil::delete_file(kb_list_path_.c_str());
    kb_path_.clear();
    report_kb_problem("orvoplatix", problem);
    return false;
}

void Shell::init_ocr() {
    ocr_ = libs_.ocr_init(kb_list_path_.c_str(), 0);
    if (!ocr_) error_box("Memory allocation error (OCR I/O structure)!");
}

void Shell::command(unsigned c) {
    if (quitting_) return;
    switch (c) {
    case kFiles: files(); break;
    case kKBase: kbase(); break;
    case kStartStop: start_stop(); break;
    case kNext: step(+1, true); break;
    case kPrev: step(-1, true); break;
    case kAbout:
        osys_message_box(about_text(), "About", OSYS_MB_OK | OSYS_MB_ICONINFORMATION);
        break;
    case kLoad: load(); break;
    case kDisplay: display_outcome(); break;
    case kAnalyse: analyse(); break;
    default: break;
    }
}

void Shell::files() {
    desk::MultiSelection sel;
    if (!choose_image_files(multi_, files_port_, image_name_, image_folder_, image_list_path_, list_, sel)) return;
    s_.image_count = sel.count;
    s_.current_index = 1;
    image_name_ = name_part(sel.first_path);
    load();
    if (s_.image_count == 1 && image_loaded_) poster_.post(kAnalyse);
}

void Shell::kbase() {
    if (!platix::choose_kb_file(single_, files_port_, "Select knowledge file for recognition", kb_folder_, kb_path_)) return;
    write_kb_list();
    if (kb_fit()) init_ocr();
    if (chdir(image_folder_.c_str()) != 0) {
        // Loads use the image folder as the current directory; a folder that
        // vanished shows up as a load error.
    }
    if (!output_.empty()) poster_.post(kLoad);
}

void Shell::load() {
    win_.close_field_window();
    libs_.clear_results();
    result_count_ = 0;
    current_ = nullptr;
    output_.clear();
    win_.set_output_text(output_);
    win_.show_light(desk::Light::Red);
    image_loaded_ = false;
    libs_.set_image_file(image_name_.c_str());
    if (libs_.open_image() != 0) {
        busy_ = true;
        cursor_.set_cursor(desk::CursorKind::Wait);
        set_status("Loading image. Please wait...");
        bar_.disable_busy();
        win_.layout_view();
        if (win_.paint_page()) {
            win_.set_title(loaded_title(image_name_, libs_.page()));
            set_status("Image loaded and displayed.");
        } else {
            win_.set_title(error_title(image_name_));
            set_status("Error: Couldn't show image.");
            win_.erase_view();
        }
        bar_.enable_idle();
        bar_.focus_bar();
        win_.focus_control_bar();
        cursor_.set_cursor(desk::CursorKind::Arrow);
        busy_ = false;
        image_loaded_ = true;
        win_.show_light(desk::Light::Gray);
    } else {
        win_.set_title(error_title(image_name_));
        set_status("Error: Couldn't load image.");
        win_.layout_view();
        win_.erase_view();
        win_.show_light(desk::Light::Gray);
        bar_.enable_idle();
        bar_.focus_bar();
        win_.focus_control_bar();
    }
}

void Shell::analyse() {
    output_.clear();
    win_.set_output_text(output_);
    win_.show_light(desk::Light::Yellow);
    display_.clear();
    win_.close_field_window();
    libs_.clear_results();
    result_count_ = 0;
    current_ = nullptr;
    busy_ = true;
    bar_.disable_busy();
    cursor_.set_cursor(desk::CursorKind::Wait);
    set_status("Analyzing image. Please wait...");
    const std::uint32_t t0 = osys_tick_count();
    if (libs_.analyze(analysis_depth_) == 0) {
        busy_ = false;
        bar_.enable_idle();
        set_status("Analysis interrupted (memory!)");
        cursor_.set_cursor(desk::CursorKind::Arrow);
        error_box("Memory allocation error (image segmentation).");
        bar_.focus_bar();
        win_.focus_control_bar();
        return;
    }
    result_count_ = libs_.results_number();
    if (result_count_ > 0 && ocr_ && pathutil::file_exists(kb_list_path_.c_str())) recognise_results();
    duration_ = osys_tick_count() - t0;
    current_ = nullptr;
    poster_.post(kDisplay);
}

void Shell::recognise_results() {
    const PageInfo page = libs_.page();
    for (seg_result* r = libs_.results(); r; r = r->next) {
        ocr_->image_bits = r->bitmap;
        ocr_->columns = r->columns;
        ocr_->rows = r->lines;
        ocr_->bytes_per_row = r->bpl;
        ocr_->left = 0;
        ocr_->top = 0;
        ocr_->right = r->columns;
        ocr_->bottom = r->lines;
        ocr_->kb_mode = 0;
        std::memset(ocr_->template_, 0, sizeof ocr_->template_);
        ocr_->template_[0] = 'C';
        if (libs_.recognize_field() == 0) continue;
        std::memcpy(r->text, ocr_->text, sizeof r->text);
        r->text[sizeof r->text - 1] = '\0';
        if (!display_.add_field(*r, *ocr_, page.cols, page.lines)) break;
    }
    display_.finish();
}

void Shell::display_outcome() {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Analysis duration: %u ms", duration_);
    set_status(buf);
    win_.draw_frames();
    if (s_.show_bitmap && !win_.field_window_open() && result_count_ > 0) {
        seg_result* c = nullptr;
        while (libs_.get_result(1, &c)) {
        }
        current_ = c;
        win_.draw_frames();
        win_.show_field_window();
    }
    if (display_.text[0] != '\0') {
        osys_time t{};
        osys_local_time(&t);
        output_ = platix::output_text(display_.text, t, !s_.slide_stopped, s_.show_delay);
    } else if (pathutil::file_exists(kb_list_path_.c_str())) {
        output_ = " None found...";
    } else {
        output_ = " None (no knowledge base loaded!)...";
    }
    win_.set_output_text(output_);
    win_.show_light(desk::Light::Green);
    busy_ = false;
    bar_.enable_idle();
    cursor_.set_cursor(desk::CursorKind::Arrow);
    bar_.focus_bar();
    win_.focus_control_bar();
    if (!s_.slide_stopped && s_.image_count > 1) {
        if (display_.text[0] == '\0') {
            countdown_ = 1000;
            bar_.set_delay_seconds(1);
        }
        timer_.start(kSlideTimer, 1000);
    } else if (s_.image_count == 1) {
        s_.slide_stopped = 1;
    }
}

void Shell::start_stop() {
    if (s_.slide_stopped && s_.image_count > 1) {
        timer_.stop(kSlideTimer);
        busy_ = false;
        bar_.enable_idle();
    } else if (image_loaded_) {
        poster_.post(kAnalyse);
    } else if (s_.image_count == 1) {
        osys_message_box("Nothing to analyze/recognize. Image not loaded!", "Warning",
                         OSYS_MB_OK | OSYS_MB_ICONWARNING);
    } else {
        countdown_ = 1000;
        timer_.start(kSlideTimer, 1000);
    }
}

void Shell::step(int delta, bool focus_start) {
    if (s_.image_count < 1) return;
    int i = s_.current_index + delta;
    if (i > s_.image_count) i = 1;
    if (i < 1) i = s_.image_count;
    s_.current_index = i;
    image_name_ = name_part(list_.entry(i));
    load();
    if (image_loaded_) {
        if (focus_start) {
            bar_.focus_control(kBtnStart);
            win_.focus_control_bar();
        }
        poster_.post(kAnalyse);
    }
}

void Shell::timer_tick() {
    countdown_ -= 1000;
    bar_.set_delay_seconds(countdown_ / 1000 > 0 ? countdown_ / 1000 : 0);
    if (countdown_ >= 1) return;
    timer_.stop(kSlideTimer);
    busy_ = false;
    if (s_.image_count > 1) {
        step(+1, false);
        if (image_loaded_) {
            countdown_ = s_.show_delay;
        } else {
            countdown_ = 1000;
            timer_.start(kSlideTimer, 1000);
        }
        bar_.set_delay_seconds(countdown_ / 1000);
    }
}

bool Shell::close_request() {
    if (quitting_) return true;
    busy_ = false;
    const int answer = osys_message_box("You are about to quit ORVO PLATIX now.\nAre you sure you want this?",
                                        "Warning", OSYS_MB_YESNO | OSYS_MB_ICONWARNING);
    if (answer != OSYS_IDYES) {
        bar_.enable_idle();
        bar_.focus_bar();
        win_.focus_control_bar();
        return false;
    }
    quitting_ = true;
    timer_.stop(kSlideTimer);
    win_.close_field_window();
    libs_.clear_results();
    current_ = nullptr;
    result_count_ = 0;
    libs_.close_image();
    write_settings(settings_path_, image_folder_, image_name_, kb_path_, s_.show_bitmap, s_.show_delay,
                   analysis_depth_);
    list_.release();
    if (pathutil::file_exists(image_list_path_.c_str())) pathutil::delete_file(image_list_path_.c_str());
    if (pathutil::file_exists(kb_list_path_.c_str())) pathutil::delete_file(kb_list_path_.c_str());
    libs_.ocr_cleanup();
    ocr_ = nullptr;
    win_.quit(0);
    return true;
}

desk::CursorKind Shell::mouse_move(int x, int y) {
    if (result_count_ <= 0) return desk::CursorKind::Arrow;
    seg_result* hit = libs_.select_bmap(x, y);
    if (hit && !(win_.field_window_open() && hit == current_)) return desk::CursorKind::Cross;
    return desk::CursorKind::Arrow;
}

void Shell::mouse_press(int x, int y) {
    if (result_count_ <= 0) return;
    seg_result* hit = libs_.select_bmap(x, y);
    if (!hit) return;
    if (win_.field_window_open() && hit == current_) {
        win_.focus_field_window();
        return;
    }
    current_ = hit;
    win_.draw_frames();
    win_.show_field_window();
}

}  // namespace platix
