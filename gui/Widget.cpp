#include "gui/Widget.h"

#include "gui/RootView.h"

namespace gui {

Widget::Widget(const Rect& size) : size_(size), mouseArea_(size) {}

void Widget::drawInRect(Surface& surface, const Rect&) {
    draw(surface);
}

void Widget::mouse(Surface&, Point) {}

void Widget::update(Surface& surface) {
    if (isDirty()) {
        draw(surface);
        setDirty(false);
    }
}

long Widget::notify(Widget*, const char*) {
    return 0;
}

int Widget::keyDown(const KeyCode&) {
    return -1;
}

int Widget::keyUp(const KeyCode&) {
    return -1;
}

bool Widget::dropNotification(const char* const*, int, int, Point) {
    return false;
}

bool Widget::wheel(Surface&, Point, float) {
    return false;
}

void Widget::loseFocus(Surface*) {}

void Widget::takeFocus(Surface*) {}

bool Widget::hitTest(Point where, int) const {
    return size_.contains(where);
}

void Widget::setSize(const Rect& size) {
    size_ = size;
    setDirty(true);
}

GuiEditorBase* Widget::editor() const {
    return root_ ? root_->editor() : nullptr;
}

bool Widget::removed(Widget*) {
    return true;
}

bool Widget::attached(Widget*) {
    return true;
}

}  // namespace gui
