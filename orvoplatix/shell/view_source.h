// What the image view shows and where its mouse goes, as each program's
// shell provides it: the view itself is one for both programs.
#pragma once

#include "display_text.h"
#include "library_port.h"
#include "ui_ports.h"

namespace platix {

class ViewSource {
public:
    virtual ~ViewSource() = default;
    // The libraries holding the page and the results.
    virtual LibraryPort& libs() = 0;
    // The result framed green, or null.
    virtual const seg_result* current_result() const = 0;
    // The character frames to draw, or null when none are drawn (show_bitmap
    // on, or a program without recognition).
    virtual const DisplayText* character_frames() const = 0;
    // The mouse in page coordinates.
    virtual desk::CursorKind mouse_move(int page_x, int page_y) = 0;
    virtual void mouse_press(int page_x, int page_y) = 0;
};

// A shell as a view source: `Shell` offers libs(), current_result(),
// mouse_move() and mouse_press(); `frames` gives the character frames.
template <typename Shell, typename Frames>
class ShellViewSource : public ViewSource {
public:
    ShellViewSource(Shell& shell, LibraryPort& libs, Frames frames) : shell_(shell), libs_(libs), frames_(frames) {}
    LibraryPort& libs() override { return libs_; }
    const seg_result* current_result() const override { return shell_.current_result(); }
    const DisplayText* character_frames() const override { return frames_(shell_); }
    desk::CursorKind mouse_move(int x, int y) override { return shell_.mouse_move(x, y); }
    void mouse_press(int x, int y) override { shell_.mouse_press(x, y); }

private:
    Shell& shell_;
    LibraryPort& libs_;
    Frames frames_;
};

}  // namespace platix
