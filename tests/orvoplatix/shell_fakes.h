// Stand-ins for what the recognition program's shell talks to, and a fixture starting it in a fresh working folder.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "scripted.h"
#include "shell.h"
#include "temp_dir.h"
#include "texts.h"

namespace fakes {

// What the engine reads in one field: its text and one box per character.
struct FieldReading {
    std::string text;
    std::vector<std::array<int, 4>> boxes;
};

class Library : public platix::LibraryPort {
public:
    // Scripted answers: the image names that open, the page they hold, ...
    std::set<std::string> loadable;
    platix::PageInfo page_of_loaded;
    int analyze_result = 1, kb_type_value = 0;
    std::vector<seg_result*> found;     // results of the next analysis, in list order
    std::deque<FieldReading> readings;  // one per recognised field
    bool ocr_init_fails = false;
    std::function<seg_result*(int, int)> hit;
    // What was asked.
    std::vector<std::string> calls, opened;
    std::vector<int> depths;
    std::string ocr_list_path;
    std::vector<ocr_io> recognised_with;  // the record's fields at each recognition

    void clear_results() override { calls.push_back("clear"), head_ = nullptr; }
    int set_image_file(const char* name) override { return opened.push_back(name_ = name), 1; }
    int open_image() override {
        calls.push_back("open");
        page_ = loadable.count(name_) ? page_of_loaded : platix::PageInfo{};
        return loadable.count(name_) != 0;
    }
    void close_image() override { calls.push_back("close"); }
    int analyze(int depth) override {
        calls.push_back("analyze");
        depths.push_back(depth);
        if (analyze_result == 0) return 0;
        head_ = nullptr;
        for (auto it = found.rbegin(); it != found.rend(); ++it) (*it)->next = head_, head_ = *it;
        return analyze_result;
    }
    int results_number() override {
        int n = 0;
        for (seg_result* r = head_; r; r = r->next) ++n;
        return n;
    }
    seg_result* results() override { return head_; }
    int get_result(int direction, seg_result** cursor) override {
        seg_result* next = direction != 1 ? nullptr : *cursor ? (*cursor)->next : head_;
        return next ? (*cursor = next, 1) : 0;
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
    int base_contents(char* classes512) override { return std::memcpy(classes512, "A\0B\0", 4), 4; }
    int recognize_field() override {
        calls.push_back("recognize");
        recognised_with.push_back(*io_);
        if (readings.empty()) return 0;
        const FieldReading f = readings.front();
        readings.pop_front();
        std::memset(io_->text, 0, sizeof io_->text);
        std::snprintf(io_->text, sizeof io_->text, "%s", f.text.c_str());
        io_->box_count = static_cast<int>(f.boxes.size());
        for (std::size_t i = 0; i < f.boxes.size() && i < 2048; ++i) std::memcpy(io_->boxes[i], f.boxes[i].data(), 16);
        return io_->box_count;
    }

private:
    std::unique_ptr<ocr_io> io_ = std::make_unique<ocr_io>();
    std::string name_;
    platix::PageInfo page_;
    seg_result* head_ = nullptr;
};

class Windows : public platix::PlatixWindows {
public:
    std::string title, output;
    bool paint_ok = true, erased = false, field_open = false;
    int frames_drawn = 0, field_shown = 0, field_focused = 0, quit_code = -1;
    std::function<void()> on_paint;

    void set_title(const std::string& t) override { title = t; }
    void set_output_text(const std::string& t) override { output = t; }
    void show_light(desk::Light) override {}
    void layout_view() override {}
    bool paint_page() override { return on_paint ? on_paint() : void(), erased = false, paint_ok; }
    void erase_view() override { erased = true; }
    void draw_frames() override { ++frames_drawn; }
    bool show_field_window() override { return ++field_shown, field_open = true; }
    void close_field_window() override { field_open = false; }
    bool field_window_open() const override { return field_open; }
    void focus_field_window() override { ++field_focused; }
    void focus_control_bar() override {}
    void quit(int code) override { quit_code = code; }
};

struct Queue : desk::CommandPoster {
    std::deque<unsigned> posted;
    void post(unsigned c, std::intptr_t) override { posted.push_back(c); }
};

struct Timer : desk::RepeatingTimer {
    std::map<int, int> running;  // id -> period
    void start(int id, int period) override { running[id] = period; }
    void stop(int id) override { running.erase(id); }
    bool on() const { return running.count(platix::kSlideTimer) != 0; }
};

struct Cursor : desk::CursorPort {
    void set_cursor(desk::CursorKind) override {}
};

using testsupport::WorkDir;  // the shell changes into image folders

inline std::string read_file(const std::string& path) {
    const auto b = testsupport::read_bytes(path);
    return {b.begin(), b.end()};
}
inline void write_file(const std::string& path, const std::string& s) { testsupport::write_bytes(path, {s.begin(), s.end()}); }
inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A field record with a blank bitmap of its own, by default as large as the field.
struct Field {
    explicit Field(int left, int top, int right, int bottom, int columns = 0, int lines = 0) {
        r.left = left, r.top = top, r.right = right, r.bottom = bottom;
        r.columns = columns ? columns : right - left + 1, r.lines = lines ? lines : bottom - top + 1;
        r.bpl = (r.columns + 7) / 8;
        bits.assign(static_cast<std::size_t>(r.bpl * r.lines), 0xFF), r.bitmap = bits.data();
    }
    seg_result r{};
    std::vector<unsigned char> bits;
};

// The shell with all its stand-ins, started in a fresh folder.
class ShellTest : public ::testing::Test {
protected:
    WorkDir dir;
    Library lib;
    Windows win;
    Queue queue;
    Timer timer;
    Cursor cursor;
    scripted::FileDialog files;
    scripted::Presenter presenter;
    std::unique_ptr<platix::Shell> shell;

    ShellTest() { lib.page_of_loaded = {&pixel, 640, 480, 640}; }
    std::string at(const std::string& name) const { return dir.file(name); }
    std::string ini() const { return at("orvoplatix.ini"); }
    void start() {
        shell = std::make_unique<platix::Shell>(dir.path(), platix::controls_template(), lib, win, queue, timer, cursor, files);
        shell->start();
    }
    // Hands the posted commands to the shell until none is left.
    void pump() {
        for (int guard = 0; guard < 100 && !queue.posted.empty(); ++guard) {
            const unsigned c = queue.posted.front();
            queue.posted.pop_front(), shell->command(c);
        }
    }
    void run(unsigned c) { shell->command(c), pump(); }
    // A press on a bar control, a letter key on the bar; then the commands they posted.
    void press(int control) { shell->bar().press(control), pump(); }
    void letter(char c) { shell->bar().key(desk::BarKey::Letter, true, c), pump(); }
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
        for (const auto& b : presenter.shown) t.push_back(b.title + ": " + b.text);
        return t;
    }

private:
    unsigned char pixel = 0;
};

}  // namespace fakes
