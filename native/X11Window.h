// The editor's window on Linux: an X11 child of the window the host hands
// to effEditOpen, on a display connection of its own. It shows the root
// view's pixels and hands paint, mouse, wheel and keys to the editor when the
// host idles; while a control tracks the mouse it answers the live pointer
// from the events as they arrive.
#pragma once

#include <deque>
#include <memory>

#include "gui/WindowPort.h"

namespace native {

class X11Window : public gui::WindowPort, public gui::InputSource {
public:
    // Null when no X server can be reached or parent is not a window there.
    static std::unique_ptr<X11Window> create(unsigned long parent, int width, int height);
    ~X11Window() override;
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // The X11 window id, for tests and hosts that embed it.
    unsigned long windowId() const;

    // gui::WindowPort
    gui::InputSource& input() override { return *this; }
    gui::Point screenPosition() override;
    void present(const gui::PixelBuffer& pixels, const gui::Rect& area) override;
    void handleEvents(gui::GuiEditorBase& editor) override;
    bool resize(int width, int height) override;

    // gui::InputSource
    int buttons() override;
    gui::Point location() override;
    bool hoverLocation(gui::Point* where) override;
    long long ticks() override;
    void sleep(int milliseconds) override;
    bool nextKey(gui::KeyCode* key) override;
    void pumpPaint() override;
    bool modalLoopAlive() override;

    struct Connection;

private:
    explicit X11Window(std::unique_ptr<Connection> connection);
    static bool makeImage(Connection& c, int width, int height);
    // The events of the window that are not pointer events: paint, keys
    // (kept for modal loops), its destruction.
    void takeNonPointerEvents(bool keepKeys);
    void send(const gui::PixelBuffer& pixels, const gui::Rect& area, bool exposed);
    // Sends the area again: the server lost it.
    void repaint(const gui::Rect& area);

    std::unique_ptr<Connection> x_;
    std::deque<gui::KeyCode> keys_;
    const gui::PixelBuffer* shown_ = nullptr;
    bool dispatching_ = false;
};

// The window factory the editor uses on Linux: parent is the host's X11
// window id.
std::unique_ptr<gui::WindowPort> createX11Window(void* parent, int width, int height);

}  // namespace native
