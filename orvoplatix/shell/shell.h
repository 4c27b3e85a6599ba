// The recognition program's shell: its state, the commands 1025-1033, the
// slide-show timer, the mouse in the image view and the quit sequence.
// It reaches the windows through PlatixWindows and the libraries through
// LibraryPort, so it runs the same under Qt and under tests.
#pragma once

#include <string>

#include "control_bar.h"
#include "display_text.h"
#include "file_selection.h"
#include "image_list.h"
#include "library_port.h"
#include "settings.h"
#include "ui_ports.h"

namespace platix {

class PlatixWindows {
public:
    virtual ~PlatixWindows() = default;
    virtual void set_title(const std::string& title) = 0;
    virtual void set_output_text(const std::string& text) = 0;
    virtual void show_light(desk::Light light) = 0;
    virtual void layout_view() = 0;
    // Paints the page (and the frames); false when it could not be shown.
    virtual bool paint_page() = 0;
    virtual void erase_view() = 0;
    virtual void draw_frames() = 0;
    virtual bool show_field_window() = 0;
    virtual void close_field_window() = 0;
    virtual bool field_window_open() const = 0;
    virtual void focus_field_window() = 0;
    virtual void focus_control_bar() = 0;
    virtual void quit(int code) = 0;
};

inline constexpr int kSlideTimer = 1;

class Shell {
public:
    Shell(const std::string& start_dir, const desk::DialogTemplate& bar_template, LibraryPort& libs,
          PlatixWindows& windows, desk::CommandPoster& poster, desk::RepeatingTimer& timer,
          desk::CursorPort& cursor, desk::OpenFilePort& files);
    ~Shell();

    // The knowledge base named in the settings, loaded when its file exists.
    // A base the engine does not load whole is refused (see kb_refusal.h):
    // the program goes on without one. The KBase command does the same.
    void start();
    // A posted command.
    void command(unsigned command);
    void timer_tick();
    // A close request; true when the program quits.
    bool close_request();
    // Mouse in the image view, in page coordinates.
    desk::CursorKind mouse_move(int page_x, int page_y);
    void mouse_press(int page_x, int page_y);

    ControlBar& bar() { return bar_; }
    const BarShared& shared() const { return s_; }
    bool busy() const { return busy_; }
    bool image_loaded() const { return image_loaded_; }
    int result_count() const { return result_count_; }
    seg_result* current_result() const { return current_; }
    const DisplayText& display() const { return display_; }
    const std::string& output_text() const { return output_; }
    const std::string& image_folder() const { return image_folder_; }
    const std::string& image_name() const { return image_name_; }
    const std::string& kb_path() const { return kb_path_; }
    const std::string& settings_path() const { return settings_path_; }
    const std::string& kb_list_path() const { return kb_list_path_; }
    const std::string& image_list_path() const { return image_list_path_; }
    int analysis_depth() const { return analysis_depth_; }
    int countdown() const { return countdown_; }
    const desk::ImageList& image_list() const { return list_; }
    LibraryPort& libs() { return libs_; }

private:
    // The settings file is read once, by the public constructor.
    Shell(const Settings& settings, const std::string& start_dir, const desk::DialogTemplate& bar_template,
          LibraryPort& libs, PlatixWindows& windows, desk::CommandPoster& poster, desk::RepeatingTimer& timer,
          desk::CursorPort& cursor, desk::OpenFilePort& files);
    void files();
    void kbase();
    void start_stop();
    void step(int delta, bool focus_start);
    void load();
    void analyse();
    void display_outcome();
    void recognise_results();
    void write_kb_list();
    // False, after telling the user and dropping the base, when the listed
    // base is unfit for reading.
    bool kb_fit();
    void init_ocr();
    void set_status(const std::string& s) { bar_.set_status(s); }

    std::string start_dir_, settings_path_, kb_list_path_, image_list_path_;
    std::string image_folder_, image_name_, kb_folder_, kb_path_;
    int analysis_depth_ = 3;
    BarShared s_;
    LibraryPort& libs_;
    PlatixWindows& win_;
    desk::CommandPoster& poster_;
    desk::RepeatingTimer& timer_;
    desk::CursorPort& cursor_;
    desk::OpenFilePort& files_port_;
    ControlBar bar_;
    desk::ImageList list_;
    desk::MultiFileSelection multi_;
    desk::SingleFileSelection single_;
    bool image_loaded_ = false;
    bool busy_ = false;
    int countdown_ = 0;
    ocr_io* ocr_ = nullptr;
    int result_count_ = 0;
    seg_result* current_ = nullptr;
    DisplayText display_;
    std::string output_;
    unsigned duration_ = 0;
    bool quitting_ = false;
};

}  // namespace platix
