// Stand-ins for everything the recognition program's shell talks to: a
// scripted library (which files open, what the analysis finds, what the
// engine reads in each field), recording windows, a command queue pumped
// by the test, a timer and a cursor that only remember their state, and a
// temporary working directory for the settings and list files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "scripted.h"
#include "shell.h"
#include "texts.h"

namespace fakes {

// What the engine reads in one field: its text and one box per character.
struct FieldReading {
    std::string text;
    std::vector<std::array<int, 4>> boxes;
};

class Library : public platix::LibraryPort {
public:
    Library() : io_(std::make_unique<ocr_io>()) {}

    // Scripted answers.
    std::set<std::string> loadable;          // image names that open
    platix::PageInfo page_of_loaded;         // the page a successful open holds
    int analyze_result = 1;
    std::vector<seg_result*> found;          // results of the next analysis, in list order
    std::deque<FieldReading> readings;       // one per recognised field
    bool ocr_init_fails = false;
    int kb_type_value = 0;
    std::function<seg_result*(int, int)> hit;  // the hit test

    // What was asked.
    std::vector<std::string> calls;
    std::vector<std::string> opened;  // names given to set_image_file
    std::vector<int> depths;
    std::string ocr_list_path;
    // The record's input fields at each recognition.
    struct Seen {
        unsigned char* bits;
        int columns, rows, bpl, left, top, right, bottom;
        unsigned kb_mode;
        std::string templ;
    };
    std::vector<Seen> recognised_with;

    ocr_io* io() { return io_.get(); }

    void clear_results() override {
        calls.push_back("clear");
        head_ = nullptr;
    }
    int set_image_file(const char* name) override {
        calls.push_back(std::string("set ") + name);
        opened.push_back(name_ = name);
        return 1;
    }
    int open_image() override {
        calls.push_back("open");
        const bool ok = loadable.count(name_) != 0;
        page_ = ok ? page_of_loaded : platix::PageInfo{};
        return ok ? 1 : 0;
    }
    void close_image() override { calls.push_back("close"); }
    int analyze(int depth) override {
        calls.push_back("analyze");
        depths.push_back(depth);
        if (analyze_result == 0) return 0;
        head_ = nullptr;
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            (*it)->next = head_;
            head_ = *it;
        }
        return analyze_result;
    }
    int results_number() override {
        int n = 0;
        for (seg_result* r = head_; r; r = r->next) ++n;
        return n;
    }
    seg_result* results() override { return head_; }
    int get_result(int direction, seg_result** cursor) override {
        if (direction != 1) return 0;
        seg_result* next = *cursor ? (*cursor)->next : head_;
        if (!next) return 0;
        *cursor = next;
        return 1;
    }
    seg_result* select_bmap(int x, int y) override { return hit ? hit(x, y) : nullptr; }
    platix::PageInfo page() override { return page_; }
    void reset_pages() override { calls.push_back("reset pages"); }
    ocr_io* ocr_init(const char* list_path, int) override {
        calls.push_back("ocr init");
        ocr_list_path = list_path;
        return ocr_init_fails ? nullptr : io_.get();
    }
    void ocr_cleanup() override { calls.push_back("ocr cleanup"); }
    int kb_type(const char*) override { return kb_type_value; }
    int base_contents(char* classes512) override {
        std::memcpy(classes512, "A\0B\0", 4);
        return 4;
    }
    int recognize_field() override {
        calls.push_back("recognize");
        recognised_with.push_back({io_->image_bits, io_->columns, io_->rows, io_->bytes_per_row, io_->left,
                                   io_->top, io_->right, io_->bottom, io_->kb_mode, io_->template_});
        if (readings.empty()) return 0;
        FieldReading f = readings.front();
        readings.pop_front();
        std::memset(io_->text, 0, sizeof io_->text);
        std::snprintf(io_->text, sizeof io_->text, "%s", f.text.c_str());
        io_->box_count = static_cast<int>(f.boxes.size());
        for (std::size_t i = 0; i < f.boxes.size() && i < 2048; ++i)
            for (int k = 0; k < 4; ++k) io_->boxes[i][k] = f.boxes[i][static_cast<std::size_t>(k)];
        return static_cast<int>(f.boxes.size());
    }

private:
    std::unique_ptr<ocr_io> io_;
    std::string name_;
    platix::PageInfo page_;
    seg_result* head_ = nullptr;
};

class Windows : public platix::PlatixWindows {
public:
    std::string title, output;
    desk::Light light = desk::Light::Gray;
    std::vector<desk::Light> lights;
    bool paint_ok = true;
    bool erased = false;
    int frames_drawn = 0;
    bool field_open = false;
    int field_shown = 0;
    int field_focused = 0;
    int quit_code = -1;
    std::function<void()> on_paint;

    void set_title(const std::string& t) override { title = t; }
    void set_output_text(const std::string& t) override { output = t; }
    void show_light(desk::Light l) override { lights.push_back(light = l); }
    void layout_view() override {}
    bool paint_page() override {
        if (on_paint) on_paint();
        erased = false;
        return paint_ok;
    }
    void erase_view() override { erased = true; }
    void draw_frames() override { ++frames_drawn; }
    bool show_field_window() override {
        ++field_shown;
        return field_open = true;
    }
    void close_field_window() override { field_open = false; }
    bool field_window_open() const override { return field_open; }
    void focus_field_window() override { ++field_focused; }
    void focus_control_bar() override {}
    void quit(int code) override { quit_code = code; }
};

class Queue : public desk::CommandPoster {
public:
    std::deque<unsigned> posted;
    void post(unsigned c, std::intptr_t) override { posted.push_back(c); }
};

class Timer : public desk::RepeatingTimer {
public:
    std::map<int, int> running;  // id -> period
    void start(int id, int period) override { running[id] = period; }
    void stop(int id) override { running.erase(id); }
    bool on() const { return running.count(platix::kSlideTimer) != 0; }
};

class Cursor : public desk::CursorPort {
public:
    desk::CursorKind kind = desk::CursorKind::Arrow;
    void set_cursor(desk::CursorKind k) override { kind = k; }
};

// A working directory of its own for each test; the previous one is put
// back afterwards (the shell changes into image folders).
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/orvoplatix_test_XXXXXX";
        path = mkdtemp(tmpl) ? tmpl : "";
        std::filesystem::current_path(path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::current_path(old, ec);
        std::filesystem::remove_all(path, ec);
    }
    std::string path;
    std::filesystem::path old = std::filesystem::current_path();
};

inline std::string read_file(const std::string& path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

inline void write_file(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A field record of the analysis with a small bitmap of its own.
struct Field {
    explicit Field(int left, int top, int right, int bottom, int columns = 0, int lines = 0) {
        r.left = left;
        r.top = top;
        r.right = right;
        r.bottom = bottom;
        r.columns = columns ? columns : right - left + 1;
        r.lines = lines ? lines : bottom - top + 1;
        r.bpl = (r.columns + 7) / 8;
        bits.assign(static_cast<std::size_t>(r.bpl * r.lines), 0xFF);
        r.bitmap = bits.data();
    }
    seg_result r{};
    std::vector<unsigned char> bits;
};

// The shell with all its stand-ins, started in a fresh directory.
class ShellTest : public ::testing::Test {
protected:
    TempDir dir;
    Library lib;
    Windows win;
    Queue queue;
    Timer timer;
    Cursor cursor;
    scripted::FileDialog files;
    scripted::Presenter presenter;
    std::unique_ptr<platix::Shell> shell;

    ShellTest() {
        static unsigned char pixel = 0;
        lib.page_of_loaded = {&pixel, 640, 480, 640};
    }

    std::string at(const std::string& name) const { return dir.path + "/" + name; }
    std::string ini() const { return at("orvoplatix.ini"); }

    void start() {
        shell = std::make_unique<platix::Shell>(dir.path, platix::controls_template(), lib, win, queue, timer,
                                                cursor, files);
        shell->start();
    }
    // Hands the posted commands to the shell until none is left.
    void pump() {
        for (int guard = 0; guard < 100 && !queue.posted.empty(); ++guard) {
            const unsigned c = queue.posted.front();
            queue.posted.pop_front();
            shell->command(c);
        }
    }
    void run(unsigned c) {
        shell->command(c);
        pump();
    }
    // Chooses files in the File(s) dialog (full paths, in the dialog's order).
    void choose(std::vector<std::string> paths) {
        files.answers.push_back(scripted::chosen(std::move(paths)));
        run(platix::kFiles);
    }
    // Makes a knowledge-base file and names it in the settings.
    std::string kb_in_settings() {
        const std::string kb = at("plates.kbf");
        write_file(kb, "kb");
        write_file(ini(), "[last_used]\r\nkb_file=" + kb + "\r\n");
        return kb;
    }
    const desk::Control& control(int i) const { return shell->bar().table().at(i); }
    const std::string& label(int i) const { return control(i).label; }
    std::vector<int> enabled() const {
        std::vector<int> on;
        for (int i = 0; i < shell->bar().table().size(); ++i)
            if (control(i).enabled) on.push_back(i);
        return on;
    }
    std::vector<std::string> box_titles() const {
        std::vector<std::string> t;
        for (const auto& b : presenter.boxes) t.push_back(b.title + ": " + b.text);
        return t;
    }
};

}  // namespace fakes
