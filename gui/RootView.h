// The root of a window's views: owns the window's pixels and a flat list of
// children in drawing order, routes the mouse (last child first), keeps the
// modal view and the edit view (the one with the keyboard), and redraws
// dirty children when the editor idles.
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
    RootView(const Rect& size, GuiEditorBase* editor, WindowPort* window = nullptr);

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
    InputSource* input() const { return window_ ? &window_->input() : nullptr; }
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

    GuiEditorBase* editor_;
    WindowPort* window_;
    Bitmap* background_ = nullptr;
    std::vector<Widget*> children_;
    Widget* modal_ = nullptr;
    Widget* edit_ = nullptr;
    bool open_ = true;
    bool drawnOnce_ = false;
    PixelBuffer pixels_;
};

}  // namespace gui
