#include "editor/SettingsPanel.h"

#include <algorithm>
#include <cmath>

#include "gui/RootView.h"
#include "gui/Surface.h"

namespace editor {
namespace {

using Model = persist::SettingsDialogModel;

// The dialog is laid out in dialog units of its 8 point face: a unit is
// 1.5 pixels across and 1.625 pixels down.
constexpr int kUnitsWide = 222, kUnitsHigh = 100;
constexpr int kTitleHeight = 18;
int across(int units) { return units * 3 / 2; }
int down(int units) { return units * 13 / 8; }

constexpr gui::Color kFace{236, 233, 226, 0};
constexpr gui::Color kTitle{46, 52, 64, 0};
constexpr gui::Color kShade{128, 128, 128, 0};
constexpr gui::Color kLight{255, 255, 255, 0};
constexpr gui::Color kInk{0, 0, 0, 0};
constexpr gui::Color kMark{32, 96, 192, 0};
constexpr int kFont = 3;

// An anti-aliased disc, for the radio buttons, drawn in the window's
// pixels at its zoom.
void disc(gui::Surface& surface, double cx, double cy, double radius, gui::Color color) {
    gui::PixelBuffer& target = surface.target();
    const gui::Point origin = surface.origin();
    const double zoom = surface.zoom();
    cx = (cx + origin.x) * zoom;
    cy = (cy + origin.y) * zoom;
    radius *= zoom;
    for (int y = static_cast<int>(cy - radius - 1); y <= static_cast<int>(cy + radius + 1); ++y)
        for (int x = static_cast<int>(cx - radius - 1); x <= static_cast<int>(cx + radius + 1); ++x) {
            const double distance = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double coverage = std::clamp(radius - distance + 0.5, 0.0, 1.0);
            if (coverage > 0.0) target.blend(x, y, color.pixel(), static_cast<int>(coverage * 255.0 + 0.5));
        }
}

}  // namespace

SettingsPanel::SettingsPanel(const gui::Rect& window, platform::Registry& registry, const std::string& key,
                             Closed closed)
    : Control({0, 0, 0, 0}), model_(registry, key), closed_(std::move(closed)) {
    const int width = across(kUnitsWide), height = down(kUnitsHigh) + kTitleHeight;
    const int left = window.left + (window.width() - width) / 2;
    const int top = window.top + (window.height() - height) / 2;
    size_ = mouseArea_ = {left, top, left + width, top + height};
    closeBox_ = {size_.right - 16, top + 3, size_.right - 4, top + 15};
    const auto place = [&](int x, int y, int w, int h) {
        return gui::Rect{left + across(x), top + kTitleHeight + down(y), left + across(x + w),
                         top + kTitleHeight + down(y + h)};
    };
    items_ = {
        {1002, Kind::kGroup, "Outputs", place(6, 6, 67, 49)},
        {Model::kTenMono, Kind::kRadio, "10 Mono", place(13, 15, 52, 12)},
        {Model::kTenStereo, Kind::kRadio, "10 Stereo", place(13, 27, 52, 12)},
        {Model::kOneStereo, Kind::kRadio, "1 Stereo", place(13, 40, 52, 12)},
        {1006, Kind::kGroup, "Note Names", place(76, 6, 67, 49)},
        {Model::kAsNames, Kind::kRadio, "As names", place(83, 15, 55, 12)},
        {Model::kAsNumbers, Kind::kRadio, "As numbers", place(83, 27, 57, 12)},
        {1009, Kind::kGroup, "Velocity Curve", place(146, 6, 67, 49)},
        {Model::kLinear, Kind::kRadio, "lin", place(153, 15, 50, 12)},
        {Model::kLogarithmic, Kind::kRadio, "log", place(153, 27, 50, 12)},
        {Model::kExponential, Kind::kRadio, "exp", place(153, 40, 50, 12)},
        {1, Kind::kGroup, "Volume", place(6, 60, 137, 32)},
        {Model::kLockVolume, Kind::kCheck, "Lock volume to unity gain", place(13, 72, 125, 12)},
        {Model::kOk, Kind::kButton, "OK", place(152, 62, 61, 14)},
        {kCancel, Kind::kButton, "Cancel", place(152, 79, 61, 14)},
    };
}

gui::Rect SettingsPanel::itemRect(int id) const {
    for (const Item& item : items_)
        if (item.id == id) return item.rect;
    return {};
}

void SettingsPanel::drawItem(gui::Surface& surface, const Item& item) const {
    const gui::Rect& r = item.rect;
    surface.setFont(kFont);
    surface.setFontColor(kInk);
    switch (item.kind) {
    case Kind::kGroup: {
        const int textWidth = surface.stringWidth(item.text);
        const int line = r.top + 6;
        surface.setFrameColor(kShade);
        surface.moveTo({r.left + 6, line});
        surface.lineTo({r.left, line});
        surface.lineTo({r.left, r.bottom});
        surface.lineTo({r.right, r.bottom});
        surface.lineTo({r.right, line});
        surface.lineTo({r.left + 10 + textWidth, line});
        surface.drawString(item.text, {r.left + 8, r.top, r.left + 10 + textWidth, r.top + 12}, false, gui::kAlignLeft);
        break;
    }
    case Kind::kRadio: {
        const double cx = r.left + 6.0, cy = (r.top + r.bottom) / 2.0;
        disc(surface, cx, cy, 6.0, kShade);
        disc(surface, cx, cy, 5.0, kLight);
        if (model_.isChecked(item.id)) disc(surface, cx, cy, 2.6, kMark);
        surface.drawString(item.text, {r.left + 16, r.top, r.right, r.bottom}, false, gui::kAlignLeft);
        break;
    }
    case Kind::kCheck: {
        const int middle = (r.top + r.bottom) / 2;
        const gui::Rect mark{r.left, middle - 6, r.left + 12, middle + 6};
        surface.setFillColor(kLight);
        surface.fillRect({mark.left - 1, mark.top - 1, mark.right, mark.bottom});
        surface.setFrameColor(kShade);
        surface.drawRect(mark);
        if (model_.isChecked(item.id)) {
            surface.setFrameColor(kMark);
            for (int d = 0; d < 2; ++d) {
                surface.moveTo({mark.left + 2, middle - 1 + d});
                surface.lineTo({mark.left + 5, middle + 2 + d});
                surface.lineTo({mark.right - 2, mark.top + 3 + d});
            }
        }
        surface.drawString(item.text, {r.left + 16, r.top, r.right, r.bottom}, false, gui::kAlignLeft);
        break;
    }
    case Kind::kButton: {
        const bool down = pressed_ == item.id;
        surface.setFillColor(down ? kShade : kLight);
        surface.fillRect({r.left - 1, r.top - 1, r.right, r.bottom});
        surface.setFrameColor(kInk);
        surface.drawRect(r);
        surface.drawString(item.text, r, false, gui::kAlignCenter);
        break;
    }
    }
}

void SettingsPanel::draw(gui::Surface& surface) {
    surface.setFillColor(kFace);
    surface.fillRect({size_.left - 1, size_.top - 1, size_.right, size_.bottom});
    surface.setFillColor(kTitle);
    surface.fillRect({size_.left - 1, size_.top - 1, size_.right, size_.top + kTitleHeight});
    surface.setFont(0);
    surface.setFontColor(gui::colors::kWhite);
    surface.drawString("Settings", {size_.left + 8, size_.top, size_.right, size_.top + kTitleHeight}, false,
                       gui::kAlignLeft);
    surface.setFrameColor(gui::colors::kWhite);
    surface.moveTo({closeBox_.left + 2, closeBox_.top + 2});
    surface.lineTo({closeBox_.right - 1, closeBox_.bottom - 1});
    surface.moveTo({closeBox_.right - 2, closeBox_.top + 2});
    surface.lineTo({closeBox_.left + 1, closeBox_.bottom - 1});
    surface.setFrameColor(kInk);
    surface.drawRect(size_);
    for (const Item& item : items_) drawItem(surface, item);
    setDirty(false);
}

void SettingsPanel::mouse(gui::Surface& surface, gui::Point where) {
    if (!(surface.mouseButtons() & gui::kPrimaryButton)) return;
    if (closeBox_.contains(where)) {
        cancel();
        return;
    }
    for (const Item& item : items_) {
        if (item.kind == Kind::kGroup || !item.rect.contains(where)) continue;
        if (item.kind == Kind::kButton) {
            // A button acts when released over itself, as buttons do.
            pressed_ = item.id;
            draw(surface);
            if (root_) root_->redrawPixels();
            while ((surface.mouseButtons() & gui::kPrimaryButton) &&
                   (!surface.input() || surface.input()->modalLoopAlive())) {
                where = surface.mouseLocation();
                doIdle();
            }
            pressed_ = 0;
            if (!item.rect.contains(where)) {
                setDirty(true);
                return;
            }
            if (item.id == Model::kOk) accept();
            else cancel();
            return;
        }
        model_.click(item.id);
        setDirty(true);
        return;
    }
}

int SettingsPanel::keyDown(const gui::KeyCode& key) {
    if (key.virt == gui::kKeyEscape) cancel();
    else if (key.virt == gui::kKeyReturn || key.virt == gui::kKeyEnter) accept();
    else return -1;
    return 1;
}

void SettingsPanel::accept() {
    if (finished_) return;
    model_.ok();
    finish(true);
}

void SettingsPanel::cancel() {
    if (finished_) return;
    model_.cancel();
    finish(false);
}

void SettingsPanel::finish(bool accepted) {
    finished_ = true;
    retain();  // the root view lets go of us below
    if (root_ && root_->modalView() == this) {
        root_->setModalView(nullptr);
        root_->redraw();
    }
    if (closed_) closed_(accepted);
    release();
}

}  // namespace editor
