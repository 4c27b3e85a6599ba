// Commands, mouse and quit of the training program.
#include "tutrix_shell.h"

#include <unistd.h>

#include <cstdio>

#include "orvosys.h"
#include "file_choice.h"
#include "kb_refusal.h"
#include "path_helpers.h"
#include "settings.h"
#include "tutrix_settings.h"
#include "tutrix_texts.h"

namespace tutrix {

namespace {
using platix::extension_part;
using platix::folder_part;
using platix::name_part;
void error_box(const char* text) {
    osys_message_box(text, "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
}
}  // namespace

TutrixShell::TutrixShell(const std::string& start_dir, const desk::DialogTemplate& bar_template,
                         TutrixLibraries& libs, platix::PlatixWindows& windows, desk::CommandPoster& poster,
                         desk::CursorPort& cursor, desk::OpenFilePort& files)
    : start_dir_(start_dir),
      settings_path_(start_dir + "/orvotutrix.ini"),
      kb_list_path_(start_dir + "/$kbflst$.$$$"),
      image_list_path_(start_dir + "/$imglst$.$$$"),
      libs_(libs), win_(windows), poster_(poster), cursor_(cursor), files_port_(files),
      bar_(bar_template, s_, poster) {
    const platix::Settings st = platix::read_settings(settings_path_);
    analysis_depth_ = st.analysis_depth;
    image_folder_ = st.image_file.empty() ? start_dir_ : folder_part(st.image_file);
    image_name_ = st.image_file.empty() ? std::string() : name_part(st.image_file);
    kb_path_ = st.kb_file;
    kb_folder_ = st.kb_file.empty() ? start_dir_ : folder_part(st.kb_file);
    bar_.close_request = [this] { close_request(); };
    bar_.set_crt_page = [this](int p) { libs_.set_crt_page(p); };
    title_ = kTitle;
}

void TutrixShell::start() {
    if (!kb_path_.empty() && pathutil::file_exists(kb_path_.c_str())) {
        write_kb_list();
        kb_fit();
    }
    libs_.reset_pages();
    s_.image_count = 0;
    s_.current_index = 0;
    idle();
}

void TutrixShell::set_title(const std::string& t) {
    title_ = t;
    win_.set_title(t);
}

void TutrixShell::sync_pages() {
    const platix::PageInfo p = libs_.page();
    s_.n_pages = p.n_pages;
    s_.crt_page = p.crt_page;
}

void TutrixShell::idle() {
    sync_pages();
    bar_.enable_idle();
}

void TutrixShell::write_kb_list() { platix::write_kb_list(libs_, kb_list_path_, kb_path_); }

bool TutrixShell::kb_fit() {
    const std::string problem = platix::kb_problem(libs_, kb_list_path_, kb_path_, platix::KbUse::training);
    if (problem.empty()) return true;
    libs_.ocr_cleanup();
    pathutil::delete_file(kb_list_path_.c_str());
    kb_path_.clear();
    platix::report_kb_problem("orvotutrix", problem);
    return false;
}

void TutrixShell::command(unsigned c, std::intptr_t param) {
    if (quitting_) return;
    switch (c) {
    case kFiles: files(); break;
    case kRotate270: rotate_request(270); break;
    case kRotate90: rotate_request(90); break;
    case kRotate180: rotate_request(180); break;
    case kNext: navigate(+1, 0); break;
    case kPrev: navigate(-1, 0); break;
    case kGo: navigate(0, static_cast<int>(param)); break;
    case kLoad: load(); break;
    case kRotate: rotate(); break;
    case kAnalyse: analyse(); break;
    case kDisplay: display_outcome(); break;
    case kTraining: training(); break;
    case kKBase: kbase(); break;
    case kNextField: next_field(); break;
    case kAbout: osys_message_box(about_text(), "About", OSYS_MB_OK | OSYS_MB_ICONINFORMATION); break;
    default: break;
    }
}

void TutrixShell::files() {
    desk::MultiSelection sel;
    if (!platix::choose_image_files(multi_, files_port_, image_name_, image_folder_, image_list_path_, list_, sel))
        return;
    s_.image_count = sel.count;
    s_.current_index = 1;
    pending_ = 0;
    set_entry(1);
    load();
    if (s_.image_count == 1 && image_loaded_) poster_.post(kAnalyse);
}

void TutrixShell::set_entry(int index) {
    const std::string path = list_.entry(index);
    image_name_ = name_part(path);
    libs_.set_image_file(path.c_str());
}

void TutrixShell::navigate(int how, int number) {
    if (s_.image_count < 1 || s_.busy) return;
    pending_ = 0;
    if (s_.image_count > 1) {
        int i = how == 0 ? number : s_.current_index + how;
        if (how != 0 && i > s_.image_count) i = 1;
        if (how != 0 && i < 1) i = s_.image_count;
        if (i < 1 || i > s_.image_count) return;
        s_.current_index = i;
        set_entry(i);
    } else {
        const platix::PageInfo p = libs_.page();
        int page = p.crt_page;
        if (how > 0) {
            if (page >= p.n_pages) page = 0;
        } else if (how < 0) {
            page -= 2;
            if (page < 0) page = p.n_pages - 1;
        } else {
            if (number < 1 || number > p.n_pages) return;
            page = number - 1;
        }
        libs_.set_crt_page(page);
    }
    poster_.post(kLoad);
}

void TutrixShell::load() {
    win_.close_field_window();
    libs_.clear_results();
    s_.result_count = 0;
    current_ = nullptr;
    image_loaded_ = false;
    if (pending_ != 0) {
        total_ = (total_ + pending_) % 360;
        pending_ = 0;
    } else {
        if (libs_.open_image() == 0) {
            set_status(one_file() ? "Error: Couldn't load page." : "Error: Couldn't load image.");
            set_title(error_title(image_name_));
            win_.layout_view();
            win_.erase_view();
            idle();
            bar_.focus_bar();
            win_.focus_control_bar();
            return;
        }
        s_.busy = true;
        cursor_.set_cursor(desk::CursorKind::Wait);
        set_status("Loading page. Please wait...");
        bar_.disable_busy();
        total_ = 0;
    }
    win_.layout_view();
    if (win_.paint_page()) {
        set_title(page_title(image_name_, libs_.page(), total_));
        set_status(one_file() ? "Page loaded and displayed." : "Image loaded and displayed.");
    } else {
        set_status(one_file() ? "Error: Couldn't show page." : "Error: Couldn't show image.");
        set_title(error_title(image_name_));
        win_.erase_view();
    }
    s_.busy = false;
    idle();
    bar_.focus_bar();
    win_.focus_control_bar();
    cursor_.set_cursor(desk::CursorKind::Arrow);
    image_loaded_ = true;
}

void TutrixShell::rotate_request(int angle) {
    if (!image_loaded_ || s_.busy) return;
    pending_ = angle;
    poster_.post(kRotate);
}

void TutrixShell::rotate() {
    if (pending_ == 0) return;
    win_.close_field_window();
    s_.busy = true;
    cursor_.set_cursor(desk::CursorKind::Wait);
    libs_.clear_results();
    s_.result_count = 0;
    current_ = nullptr;
    set_status("Rotating page. Please wait...");
    bar_.disable_busy();
    if (libs_.rotate(pending_)) {
        poster_.post(kLoad);
        return;
    }
    pending_ = 0;
    s_.busy = false;
    cursor_.set_cursor(desk::CursorKind::Arrow);
    set_status("Rotation interrupted (memory!)");
    idle();
    error_box("Memory allocation error (rotated image).");
    bar_.focus_bar();
    win_.focus_control_bar();
}

void TutrixShell::analyse() {
    if (!image_loaded_) return;
    win_.close_field_window();
    libs_.clear_results();
    s_.result_count = 0;
    current_ = nullptr;
    s_.busy = true;
    bar_.disable_busy();
    cursor_.set_cursor(desk::CursorKind::Wait);
    set_status("Analyzing page. Please wait...");
    const std::uint32_t t0 = osys_tick_count();
    if (libs_.analyze(analysis_depth_) == 0) {
        s_.busy = false;
        idle();
        set_status("Analysis interrupted (memory!)");
        cursor_.set_cursor(desk::CursorKind::Arrow);
        error_box("Memory allocation error (image segmentation).");
        bar_.focus_bar();
        win_.focus_control_bar();
        return;
    }
    s_.result_count = libs_.results_number();
    duration_ = osys_tick_count() - t0;
    current_ = nullptr;
    poster_.post(kDisplay);
}

void TutrixShell::display_outcome() {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Analysis duration: %u ms", duration_);
    set_status(buf);
    win_.draw_frames();
    s_.busy = false;
    idle();
    cursor_.set_cursor(desk::CursorKind::Arrow);
    bar_.focus_bar();
    win_.focus_control_bar();
}

void TutrixShell::training() {
    if (!pathutil::file_exists(kb_list_path_.c_str())) {
        osys_message_box("A knowledge base must be selected prior to start learning.", "Warning",
                         OSYS_MB_OK | OSYS_MB_ICONWARNING);
        return;
    }
    ocr_io* io = libs_.ocr_init(kb_list_path_.c_str(), 0);
    if (io == nullptr) return;
    io->kb_index = 1;
    ++sessions_;
    libs_.train(parent_, io, &current_, kb_list_path_.c_str());
    win_.draw_frames();
    libs_.ocr_cleanup();
}

void TutrixShell::kbase() {
    if (!platix::choose_kb_file(single_, files_port_, "Select knowledge file for learning", kb_folder_, kb_path_)) return;
    write_kb_list();
    kb_fit();
}

void TutrixShell::next_field() {
    if (s_.result_count <= 0) return;
    const bool v = !s_.training && win_.field_window_open();
    if (s_.result_count == 1 && current_ && v) {
        win_.focus_field_window();
        return;
    }
    if (current_ && current_->next == nullptr && v) current_ = nullptr;
    if (!current_ || v) libs_.get_result(1, &current_);
    win_.draw_frames();
    if (s_.training) {
        win_.close_field_window();
        poster_.post(kTraining);
    } else {
        win_.show_field_window();
    }
}

desk::CursorKind TutrixShell::mouse_move(int x, int y) {
    if (s_.result_count <= 0) return desk::CursorKind::Arrow;
    seg_result* hit = libs_.select_bmap(x, y);
    if (!hit) return desk::CursorKind::Arrow;
    if (!s_.training && win_.field_window_open() && hit == current_) return desk::CursorKind::Arrow;
    return desk::CursorKind::Cross;
}

void TutrixShell::mouse_press(int x, int y) {
    if (s_.result_count <= 0 || s_.busy) return;
    seg_result* hit = libs_.select_bmap(x, y);
    if (!hit) return;
    if (!s_.training && win_.field_window_open() && hit == current_) {
        win_.focus_field_window();
        return;
    }
    current_ = hit;
    win_.draw_frames();
    if (s_.training) {
        win_.close_field_window();
        poster_.post(kTraining);
    } else {
        win_.show_field_window();
    }
}

bool TutrixShell::close_request() {
    if (quitting_) return true;
    const int answer = osys_message_box("You are about to quit ORVO TUTRIX now.\nAre you sure you want this?",
                                        "Warning", OSYS_MB_YESNO | OSYS_MB_ICONWARNING);
    if (answer != OSYS_IDYES) {
        if (win_.field_window_open() && !s_.training) {
            win_.focus_field_window();
        } else {
            bar_.focus_bar();
            win_.focus_control_bar();
        }
        return false;
    }
    quitting_ = true;
    win_.close_field_window();
    libs_.clear_results();
    current_ = nullptr;
    s_.result_count = 0;
    libs_.close_image();
    write_tutrix_settings(settings_path_, image_folder_, image_name_, kb_path_, analysis_depth_);
    list_.release();
    if (pathutil::file_exists(image_list_path_.c_str())) pathutil::delete_file(image_list_path_.c_str());
    if (pathutil::file_exists(kb_list_path_.c_str())) pathutil::delete_file(kb_list_path_.c_str());
    win_.quit(0);
    return true;
}

}  // namespace tutrix
