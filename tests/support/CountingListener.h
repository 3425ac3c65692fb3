// A control listener that counts what it hears and keeps the last sender.
#pragma once

#include "gui/Control.h"

namespace testing_support {

struct CountingListener : gui::ControlListener {
    void controlChanged(gui::Surface*, gui::Control* control) override {
        ++calls;
        last = control;
    }
    int calls = 0;
    gui::Control* last = nullptr;
};

}  // namespace testing_support
