// Message boxes and beeps of the host layer shown as Qt dialogs while a
// program runs: the icon, title, text and buttons of the request, a beep
// before each box. The previous presenter is put back when the object
// goes.
#pragma once

#include "orvosys.h"

namespace desk {

class QtMessagePresenter {
public:
    QtMessagePresenter();
    ~QtMessagePresenter();
    QtMessagePresenter(const QtMessagePresenter&) = delete;
    QtMessagePresenter& operator=(const QtMessagePresenter&) = delete;

    static int present(void* context, const char* title, const char* text, unsigned style);

private:
    osys_presenter previous_ = nullptr;
    void* previous_context_ = nullptr;
};

}  // namespace desk
