// The root of a window's views: owns the window's pixels and a flat list of
// children in drawing order, routes the mouse (last child first), keeps the
// modal view and the edit view (the one with the keyboard), and redraws
// dirty children when the editor idles. At a zoom the views keep their
// coordinates at 100 %: the pixels are the window's, and mouse points
// arriving from the window are mapped back to the views'.
#pragma once

#include <memory>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/PixelBuffer.h"
#include "gui/Surface.h"
#include "gui/Widget.h"
#include "gui/WindowPort.h"

namespace gui {

class RootView : public Widget {
public:
    // window may be null: the views then draw into pixels no one shows.
    RootView(const Rect& size, GuiEditorBase* editor, WindowPort* window = nullptr, double zoom = 1.0);
    double zoom() const { return zoom_; }

    void addChild(Widget* child);  // takes the reference it is given
    const std::vector<Widget*>& children() const { return children_; }
    void setBackground(Bitmap* picture);
    Bitmap* background() const { return background_; }
    // Refused (false) while another modal view is set.
    bool setModalView(Widget* view);
    Widget* modalView() const { return modal_; }
    void setEditView(Widget* view);
    Widget* editView() const { return edit_; }

    void draw(Surface& surface) override;
    void drawInRect(Surface& surface, const Rect& rect) override;
    // where is in window pixels, as are the points of wheelAt and drops.
    void mouse(Surface& surface, Point where) override;
    void update(Surface& surface) override;
    bool isDirty() const override;
    int keyDown(const KeyCode& key) override;
    int keyUp(const KeyCode& key) override;
    bool dropNotification(const char* const* items, int count, int kind, Point where) override;
    // The wheel goes to the view under the mouse.
    bool wheelAt(Point where, float distance);

    // Draws the dirty views, once the window has been drawn whole.
    void idle();
    // Draws everything and shows it.
    void redraw();
    // Shows the pixels as they are.
    void redrawPixels() { present({0, 0, pixels_.width(), pixels_.height()}); }

    // A surface on the window's pixels.
    Surface surface();
    PixelBuffer& pixels() { return pixels_; }
    WindowPort* window() const { return window_; }
    // The window's input with the mouse in view coordinates.
    InputSource* input() const { return window_ ? &input_ : nullptr; }
    GuiEditorBase* editor() const { return editor_; }
    void close() { open_ = false; }
    bool isOpen() const { return open_; }
    bool drawnOnce() const { return drawnOnce_; }
    // The knob mode shared by every editor in the process.
    static int knobMode();
    static void setKnobMode(int mode);

protected:
    ~RootView() override;

private:
    void present(const Rect& area);

    class ViewInput : public InputSource {
    public:
        ViewInput(WindowPort* window, double zoom) : window_(window), zoom_(zoom) {}
        int buttons() override { return window_->input().buttons(); }
        Point location() override;
        bool hoverLocation(Point* where) override;
        long long ticks() override { return window_->input().ticks(); }
        void sleep(int milliseconds) override { window_->input().sleep(milliseconds); }
        bool nextKey(KeyCode* key) override { return window_->input().nextKey(key); }
        void pumpPaint() override { window_->input().pumpPaint(); }
        int doubleClickTime() override { return window_->input().doubleClickTime(); }
        bool modalLoopAlive() override { return window_->input().modalLoopAlive(); }

    private:
        WindowPort* window_;
        double zoom_;
    };

    GuiEditorBase* editor_;
    WindowPort* window_;
    Bitmap* background_ = nullptr;
    std::vector<Widget*> children_;
    Widget* modal_ = nullptr;
    Widget* edit_ = nullptr;
    bool open_ = true;
    bool drawnOnce_ = false;
    double zoom_;
    PixelBuffer pixels_;
    mutable ViewInput input_;
};

}  // namespace gui
