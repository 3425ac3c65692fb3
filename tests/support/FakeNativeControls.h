// A window's native edit box and menus played by the test: it keeps what
// the toolkit asked for, lets the test type and end the edit, and answers
// menus with a scripted choice.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/NativeControls.h"
#include "support/ScriptedInput.h"

namespace testing_support {

class FakeNativeControls : public gui::NativeControls {
public:
    class Box : public gui::NativeTextEdit {
    public:
        Box(FakeNativeControls& owner, std::string text) : owner_(owner), typed(std::move(text)) {}
        ~Box() override {
            ++owner_.closed;
            if (owner_.open == this) owner_.open = nullptr;
        }
        std::string text() const override { return typed; }

    private:
        FakeNativeControls& owner_;

    public:
        std::string typed;
    };

    std::unique_ptr<gui::NativeTextEdit> beginTextEdit(const gui::TextEditRequest& request,
                                                       gui::TextEditEnded ended) override {
        editRequests.push_back(request);
        if (refuseEdits) return nullptr;
        ended_ = std::move(ended);
        auto box = std::make_unique<Box>(*this, request.text);
        open = box.get();
        return box;
    }
    // The user types into the open box (replacing its text) and leaves it.
    void finish(const std::string& text, gui::TextEditEnd how) {
        if (!open) return;
        open->typed = text;
        const gui::TextEditEnded ended = ended_;
        ended(how);
    }

    gui::MenuChoice showMenu(const gui::MenuRequest& request) override {
        menuRequests.push_back(request);
        return answer;
    }
    void* windowHandle() const override { return const_cast<int*>(&handle); }

    std::vector<gui::TextEditRequest> editRequests;
    std::vector<gui::MenuRequest> menuRequests;
    gui::MenuChoice answer;
    Box* open = nullptr;
    int closed = 0;
    bool refuseEdits = false;
    int handle = 0;

private:
    gui::TextEditEnded ended_;
};

// Scripted input in a window that has native controls.
class NativeWindow : public ScriptedInput {
public:
    gui::NativeControls* nativeControls() override { return &controls; }
    FakeNativeControls controls;
};

}  // namespace testing_support
