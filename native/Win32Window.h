// The editor's window on Windows: a child of the window the host hands to
// effEditOpen, of a window class the module registers while any editor is
// open. It shows the root view's pixels, hands clicks, the wheel and keys
// to the editor as the messages arrive, follows the mouse for controls that
// track a drag, takes drops for the views, and passes the messages meant
// for native controls inside it back to them.
#pragma once

#include <memory>

#include "gui/WindowPort.h"

namespace native {

class Win32Window : public gui::WindowPort, public gui::InputSource {
public:
    // Null when parent is not a window or the window cannot be made.
    static std::unique_ptr<Win32Window> create(void* parent, int width, int height);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // The window's HWND, for the native controls placed in it; null once the
    // window is gone (its parent was destroyed).
    void* nativeHandle() const;
    // The window class every editor window of this module belongs to.
    static const char* className();

    // gui::WindowPort
    gui::InputSource& input() override { return *this; }
    gui::Point screenPosition() override;
    void present(const gui::PixelBuffer& pixels, const gui::Rect& area) override;
    void handleEvents(gui::GuiEditorBase& editor) override;
    bool resize(int width, int height) override;
    // The system's edit box and popup menus inside this window.
    gui::NativeControls* nativeControls() override;

    // gui::InputSource
    int buttons() override;
    gui::Point location() override;
    bool hoverLocation(gui::Point* where) override;
    long long ticks() override;
    void sleep(int milliseconds) override;
    bool nextKey(gui::KeyCode* key) override;
    void pumpPaint() override;
    int doubleClickTime() override;
    bool modalLoopAlive() override;

    struct Native;

private:
    explicit Win32Window(std::unique_ptr<Native> native);

    std::unique_ptr<Native> w_;
};

// The window factory the editor uses on Windows: parent is the host's HWND.
std::unique_ptr<gui::WindowPort> createWin32Window(void* parent, int width, int height);

}  // namespace native
