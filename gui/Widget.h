// The base of every view: a rectangle in the window, a dirty mark, mouse
// and keyboard hooks, and a reference count (the last release deletes).
#pragma once

#include "gui/Geometry.h"
#include "gui/Input.h"

namespace gui {

class RootView;
class Surface;
class GuiEditorBase;

class Widget {
public:
    explicit Widget(const Rect& size);
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual void draw(Surface& surface) = 0;
    virtual void drawInRect(Surface& surface, const Rect& rect);
    // Edges inclusive.
    virtual bool intersects(const Rect& rect) const { return size_.intersects(rect); }
    virtual void mouse(Surface& surface, Point where);
    // Draws the view and clears the dirty state when it is dirty.
    virtual void update(Surface& surface);
    virtual long notify(Widget* sender, const char* message);
    virtual int keyDown(const KeyCode& key);
    virtual int keyUp(const KeyCode& key);
    // kind 1: one text (items[0], count its bytes); kind 0: count file paths.
    virtual bool dropNotification(const char* const* items, int count, int kind, Point where);
    virtual bool wheel(Surface& surface, Point where, float distance);
    // surface may be null when no drawing is at hand.
    virtual void loseFocus(Surface* surface);
    virtual void takeFocus(Surface* surface);
    virtual bool isDirty() const { return dirty_; }
    virtual void setDirty(bool dirty = true) { dirty_ = dirty; }
    void setMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    bool isMouseEnabled() const { return mouseEnabled_; }
    void setMouseArea(const Rect& area) { mouseArea_ = area; }
    const Rect& mouseArea() const { return mouseArea_; }
    // Edges inclusive.
    virtual bool hitTest(Point where, int buttons) const;
    void setTransparency(bool transparent) { transparent_ = transparent; }
    bool transparency() const { return transparent_; }
    virtual void setSize(const Rect& size);
    const Rect& size() const { return size_; }
    void setParent(Widget* parent) { parent_ = parent; }
    Widget* parent() const { return parent_; }
    void setRoot(RootView* root) { root_ = root; }
    RootView* root() const { return root_; }
    GuiEditorBase* editor() const;
    // Told when taken out of, or put into, a root view's list or modal slot.
    virtual bool removed(Widget* parent);
    virtual bool attached(Widget* parent);

    void retain() { ++references_; }
    void release() {
        if (--references_ == 0) delete this;
    }
    int references() const { return references_; }

protected:
    virtual ~Widget() = default;

    int references_ = 1;
    Rect size_;
    Rect mouseArea_;
    RootView* root_ = nullptr;
    Widget* parent_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
};

}  // namespace gui
