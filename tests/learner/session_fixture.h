// Training fixture: drawn fields, a results list behind the real engine, a scripted dialog.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_glyphs.h"
#include "glyphnet.h"
#include "orvosys.h"
#include "session_libs.h"
#include "message_log.h"
#include "temp_dir.h"
#include "test_field_bitmap.h"
#include "training_dialog.h"
#include "sel_chars.h"
#include "training_session.h"

namespace lrntest {

inline bool exists(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0;
}

// Block letters at 4 pixels per cell.
inline constexpr int kScale = 4, kGlyphW = 5 * kScale, kGap = 8, kMargin = 6;

// A field bitmap holding `text` in block letters, and its results record.
struct Field {
    testsupport::FieldBitmap bitmap;
    seg_result record{};
    explicit Field(const std::string& text, int left = 100, int top = 50)
        : bitmap(2 * kMargin + static_cast<int>(text.size()) * (kGlyphW + kGap) - kGap, 7 * kScale + 2 * kMargin) {
        for (std::size_t i = 0; i < text.size(); ++i)
            fuzzglyphs::draw(bitmap, text[i], kMargin + static_cast<int>(i) * (kGlyphW + kGap), kMargin, kScale);
        record.bitmap = bitmap.bits.data(), record.bpl = bitmap.bpr;
        record.columns = bitmap.width, record.lines = bitmap.height;
        record.left = left, record.top = top;
        record.right = left + bitmap.width - 1, record.bottom = top + bitmap.height - 1;
    }
    // Middle of character i in field coordinates.
    static int char_x(int i) { return kMargin + i * (kGlyphW + kGap) + kGlyphW / 2; }
    static int char_y() { return kMargin + 7 * kScale / 2; }
};

// The real engine over a results list held by the test.
class ListLibs : public learner::RealSessionLibs {
public:
    std::vector<seg_result*> list;
    int results_number() override { return static_cast<int>(list.size()); }
    int get_result(int direction, seg_result** cursor) override {
        if (list.empty() || cursor == nullptr) return 0;
        const int n = static_cast<int>(list.size());
        const int was = static_cast<int>(std::find(list.begin(), list.end(), *cursor) - list.begin());  // n: none
        const int at = direction != 0 ? (was == n ? 0 : std::min(was + 1, n - 1)) : (was == n || was == 0 ? 0 : was - 1);
        *cursor = list[static_cast<std::size_t>(at)];
        return direction != 0 ? at + 1 < n : at > 0;
    }
};

using Presenter = testsupport::MessageLog;

class QueuePoster : public desk::CommandPoster {
public:
    std::deque<std::pair<unsigned, std::intptr_t>> queue;
    void post(unsigned c, std::intptr_t p) override { queue.emplace_back(c, p); }
};

// A training dialog without windows: the test acts through `user` each time it waits for input.
class ScriptedDialog : public learner::TrainingView, public learner::DialogRunner {
public:
    // Acts once; false when the script has nothing more to do.
    std::function<bool(learner::TrainingDialog&, ScriptedDialog&)> user;
    bool class_dialog_open = false;
    std::vector<std::string> statuses;
    QueuePoster poster;
    learner::TrainingDialog* dialog = nullptr;
    int view_width = 60;

    void changed() override {
        if (dialog && (statuses.empty() || statuses.back() != dialog->status_text()))
            statuses.push_back(dialog->status_text());
    }
    void open_class_dialog() override { class_dialog_open = true; }
    void close_class_dialog() override { class_dialog_open = false; }
    int run_unlearn(learner::UnlearnList&) override { return 0; }
    void end_dialog(int) override {}

    // Runs the next posted command; false when none is waiting.
    bool run_posted(learner::TrainingDialog& d) {
        if (poster.queue.empty()) return false;
        const auto c = poster.queue.front();
        poster.queue.pop_front();
        d.command(c.first, c.second);
        return true;
    }
    // The class dialog ends with "&Ok" and `cls`.
    void answer_class(const std::string& cls) {
        dialog->class_buffer().set(cls);
        class_dialog_open = false;
        poster.post(learner::kClassDialogEnded, learner::kSelOk);
    }

    int run(ocr_io& io, learner::SessionLibs& libs, seg_result*& current, const std::string& kb_path) override {
        learner::TrainingDialog d(io, libs, current, kb_path, *this, poster);
        dialog = &d;
        d.open(view_width);
        for (int guard = 0; guard < 10000 && !d.ended(); ++guard)
            if (!run_posted(d) && (!user || !user(d, *this))) break;
        current = d.current();
        dialog = nullptr;
        return d.ended() ? d.result() : 0;
    }
};

}  // namespace lrntest
