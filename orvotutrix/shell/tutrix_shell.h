// The training program's shell: settings, the commands 1025-1039 (files,
// rotation, page and file navigation, load, analysis, display, training
// sessions, the knowledge base for learning, the next field), the mouse in
// the image view and the quit sequence. It reaches the windows through the
// recognition program's PlatixWindows and the libraries through
// TutrixLibraries, so tests run it without a display.
#pragma once

#include <string>

#include "file_selection.h"
#include "image_list.h"
#include "shell.h"
#include "tutrix_bar.h"
#include "tutrix_port.h"
#include "ui_ports.h"

namespace tutrix {

class TutrixShell {
public:
    TutrixShell(const std::string& start_dir, const desk::DialogTemplate& bar_template, TutrixLibraries& libs,
                platix::PlatixWindows& windows, desk::CommandPoster& poster, desk::CursorPort& cursor,
                desk::OpenFilePort& files);

    // Writes the knowledge-base list when the base named in the settings
    // exists. A base that is there but unfit for training (see kb_refusal.h)
    // is refused: the program goes on without one. The KBase command does
    // the same.
    void start();
    void command(unsigned command, std::intptr_t param = 0);
    bool close_request();
    desk::CursorKind mouse_move(int page_x, int page_y);
    void mouse_press(int page_x, int page_y);
    // The main window handle given to the training dialog.
    void set_parent_window(void* parent) { parent_ = parent; }

    TutrixBar& bar() { return bar_; }
    const BarState& state() const { return s_; }
    bool image_loaded() const { return image_loaded_; }
    bool busy() const { return s_.busy; }
    int pending_rotation() const { return pending_; }
    int total_rotation() const { return total_; }
    seg_result* current_result() const { return current_; }
    const std::string& kb_path() const { return kb_path_; }
    const std::string& kb_list_path() const { return kb_list_path_; }
    const std::string& settings_path() const { return settings_path_; }
    const std::string& title() const { return title_; }
    int analysis_depth() const { return analysis_depth_; }
    int sessions() const { return sessions_; }

private:
    void files();
    void kbase();
    void rotate_request(int angle);
    void navigate(int how, int number);
    void set_entry(int index);
    void load();
    void rotate();
    void analyse();
    void display_outcome();
    void training();
    void next_field();
    void write_kb_list();
    // False, after telling the user and dropping the base, when the listed
    // base exists but is unfit for training.
    bool kb_fit();
    void sync_pages();
    void idle();
    void set_title(const std::string& t);
    void set_status(const std::string& s) { bar_.set_status(s); }
    bool one_file() const { return s_.image_count == 1; }

    std::string start_dir_, settings_path_, kb_list_path_, image_list_path_;
    std::string image_folder_, image_name_, kb_folder_, kb_path_;
    int analysis_depth_ = 3;
    BarState s_;
    TutrixLibraries& libs_;
    platix::PlatixWindows& win_;
    desk::CommandPoster& poster_;
    desk::CursorPort& cursor_;
    desk::OpenFilePort& files_port_;
    TutrixBar bar_;
    desk::ImageList list_;
    desk::MultiFileSelection multi_;
    desk::SingleFileSelection single_;
    bool image_loaded_ = false;
    int pending_ = 0;
    int total_ = 0;
    seg_result* current_ = nullptr;
    unsigned duration_ = 0;
    void* parent_ = nullptr;
    std::string title_;
    int sessions_ = 0;
    bool quitting_ = false;
};

}  // namespace tutrix
