#include "editor/ValueReadout.h"

#include <algorithm>

#include "gui/Fonts.h"
#include "gui/RootView.h"
#include "gui/Surface.h"

namespace editor {
namespace {

constexpr int kFont = 5;  // 10 pixels: the box fits the gap between two knob rows
constexpr int kHeight = 13;
constexpr int kPadding = 4;
constexpr gui::Color kBack{20, 21, 24, 0};
constexpr gui::Color kEdge{92, 94, 100, 0};
constexpr gui::Color kInk{255, 184, 80, 0};

}  // namespace

ValueReadout::ValueReadout(const gui::Rect& window) : Widget({0, 0, 0, 0}), window_(window) {
    setMouseEnabled(false);
}

void ValueReadout::show(int parameter, const gui::Rect& knob, const std::string& text) {
    const int width = std::min(gui::Fonts::textWidth(text, gui::fontEntry(kFont).height, gui::fontEntry(kFont).style) +
                                   2 * kPadding,
                               window_.width() - 1);
    int left = (knob.left + knob.right) / 2 - width / 2;
    left = std::clamp(left, window_.left, window_.right - 1 - width);
    int top = knob.top - 1 - kHeight;
    if (top < window_.top) top = knob.bottom + 1;
    top = std::min(top, window_.bottom - 1 - kHeight);
    const gui::Rect box{left, top, left + width, top + kHeight};
    if (parameter == parameter_ && text == text_ && box == size_) return;
    if (!shown()) previous_ = box;
    parameter_ = parameter;
    text_ = text;
    size_ = mouseArea_ = box;
    setDirty(true);
}

void ValueReadout::hide() {
    if (!shown()) return;
    parameter_ = -1;
    text_.clear();
    setDirty(true);
}

void ValueReadout::draw(gui::Surface& surface) {
    if (!shown()) return;
    surface.setFillColor(kBack);
    surface.fillRect({size_.left - 1, size_.top - 1, size_.right, size_.bottom});
    surface.setFrameColor(kEdge);
    surface.drawRect({size_.left, size_.top, size_.right - 1, size_.bottom - 1});
    surface.setFont(kFont);
    surface.setFontColor(kInk);
    surface.drawString(text_, size_, false, gui::kAlignCenter);
}

void ValueReadout::update(gui::Surface& surface) {
    if (!isDirty()) return;
    setDirty(false);
    if (!root_) return;
    const gui::Rect area{std::min(previous_.left, size_.left), std::min(previous_.top, size_.top),
                         std::max(previous_.right, size_.right), std::max(previous_.bottom, size_.bottom)};
    if (!shown()) size_ = mouseArea_ = {0, 0, 0, 0};
    previous_ = shown() ? size_ : gui::Rect{};
    root_->drawInRect(surface, area);
}

}  // namespace editor
