#include "gui/RootView.h"

#include "gui/Zoom.h"

namespace gui {
namespace {
int sharedKnobMode = 0;
}

int RootView::knobMode() {
    return sharedKnobMode;
}

void RootView::setKnobMode(int mode) {
    sharedKnobMode = mode;
}

RootView::RootView(const Rect& size, GuiEditorBase* editor, WindowPort* window, double zoom)
    : Widget(size), editor_(editor), window_(window), zoom_(zoom > 0.0 ? zoom : 1.0),
      pixels_(zoomed(size.width(), zoom_), zoomed(size.height(), zoom_)), input_(window, zoom_) {
    children_.reserve(20);
    root_ = this;
}

RootView::~RootView() {
    if (background_) background_->forget();
    if (modal_) modal_->release();
    for (Widget* child : children_) child->release();
}

void RootView::addChild(Widget* child) {
    if (!child) return;
    if (children_.size() == children_.capacity()) children_.reserve(children_.size() + 20);
    children_.push_back(child);
    child->setRoot(this);
    child->setParent(this);
    child->attached(this);
}

void RootView::setBackground(Bitmap* picture) {
    if (background_) background_->forget();
    background_ = picture;
    if (background_) background_->remember();
}

bool RootView::setModalView(Widget* view) {
    if (view && modal_) return false;
    if (modal_) {
        modal_->removed(this);
        modal_->release();
    }
    modal_ = view;
    if (modal_) {
        modal_->retain();
        modal_->setRoot(this);
        modal_->attached(this);
    }
    return true;
}

void RootView::setEditView(Widget* view) {
    if (edit_ && edit_ != view) {
        Widget* previous = edit_;
        edit_ = nullptr;
        previous->loseFocus(nullptr);
    }
    edit_ = view;
}

Point RootView::ViewInput::location() {
    return unzoomed(window_->input().location(), zoom_);
}

bool RootView::ViewInput::hoverLocation(Point* where) {
    Point at;
    if (!window_->input().hoverLocation(&at)) return false;
    *where = unzoomed(at, zoom_);
    return true;
}

Surface RootView::surface() {
    Surface s(pixels_, this, input());
    s.setZoom(zoom_);
    return s;
}

void RootView::draw(Surface& surface) {
    if (background_) background_->draw(surface, {0, 0, background_->width(), background_->height()});
    for (Widget* child : children_) {
        child->draw(surface);
        child->setDirty(false);
    }
    if (modal_) {
        modal_->draw(surface);
        modal_->setDirty(false);
    }
    drawnOnce_ = true;
}

void RootView::drawInRect(Surface& surface, const Rect& rect) {
    if (background_) background_->draw(surface, rect, {rect.left, rect.top});
    for (Widget* child : children_)
        if (child->intersects(rect)) child->drawInRect(surface, rect);
    if (modal_ && modal_->intersects(rect)) modal_->drawInRect(surface, rect);
}

void RootView::mouse(Surface& surface, Point where) {
    where = unzoomed(where, zoom_);
    if (edit_) setEditView(nullptr);
    const int buttons = surface.mouseButtons();
    if (modal_) {
        if (modal_->hitTest(where, buttons)) modal_->mouse(surface, where);
        return;
    }
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* child = *it;
        if (child->isMouseEnabled() && child->hitTest(where, buttons)) {
            child->mouse(surface, where);
            return;
        }
    }
}

bool RootView::isDirty() const {
    for (Widget* child : children_)
        if (child->isDirty()) return true;
    return modal_ && modal_->isDirty();
}

void RootView::update(Surface& surface) {
    for (Widget* child : children_) child->update(surface);
    if (modal_) modal_->update(surface);
}

int RootView::keyDown(const KeyCode& key) {
    if (edit_) return edit_->keyDown(key);
    if (modal_) return modal_->keyDown(key);
    return -1;
}

int RootView::keyUp(const KeyCode& key) {
    if (edit_) return edit_->keyUp(key);
    if (modal_) return modal_->keyUp(key);
    return -1;
}

bool RootView::dropNotification(const char* const* items, int count, int kind, Point where) {
    if (modal_ || edit_) return false;
    where = unzoomed(where, zoom_);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* child = *it;
        if (child->isMouseEnabled() && child->size().contains(where) &&
            child->dropNotification(items, count, kind, where))
            return true;
    }
    return false;
}

bool RootView::wheelAt(Point where, float distance) {
    where = unzoomed(where, zoom_);
    Surface s = surface();
    if (modal_) return modal_->hitTest(where, 0) && modal_->wheel(s, where, distance);
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* child = *it;
        if (child->isMouseEnabled() && child->size().contains(where)) return child->wheel(s, where, distance);
    }
    return false;
}

void RootView::idle() {
    if (!open_ || !drawnOnce_ || !isDirty()) return;
    Surface s = surface();
    update(s);
    present({0, 0, pixels_.width(), pixels_.height()});
}

void RootView::redraw() {
    Surface s = surface();
    draw(s);
    present({0, 0, pixels_.width(), pixels_.height()});
}

void RootView::present(const Rect& area) {
    if (window_) window_->present(pixels_, area);
}

}  // namespace gui
