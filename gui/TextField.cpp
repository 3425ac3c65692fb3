#include "gui/TextField.h"

#include "gui/Fonts.h"
#include "gui/RootView.h"
#include "gui/Zoom.h"
#include "gui/Surface.h"

namespace gui {

TextField::TextField(const Rect& size, ControlListener* listener, int tag, const std::string& text,
                     Bitmap* background, int style)
    : ValueDisplay(size, background, style) {
    listener_ = listener;
    tag_ = tag;
    setText(text);
}

// Closing with the window: the box goes without telling the listener.
TextField::~TextField() = default;

void TextField::setText(const std::string& text) {
    text_ = text.substr(0, kMaxLength);
    setDirty(true);
}

std::string TextField::text() const {
    return valueToText_ ? valueToText_(value_) : text_;
}

void TextField::draw(Surface& surface) {
    if (editing_) {
        if (!native_) drawEditor(surface);  // a native box shows the text itself
    } else if (!(style_ & kNoDrawing)) {
        drawFrame(surface);
        drawText(surface, text());
    }
    setDirty(false);
}

// The editing box: one pixel larger to the right and below, white, with the
// text, the selection and the caret.
void TextField::drawEditor(Surface& surface) {
    const Rect box{size_.left, size_.top, size_.right + 1, size_.bottom + 1};
    surface.setFillColor(colors::kWhite);
    surface.fillRect({box.left - 1, box.top - 1, box.right, box.bottom});
    const int height = editFontHeight();
    surface.setFont(fontId_, height, 0);
    const Rect textArea{box.left + 3, box.top, box.right - 3, box.bottom};
    const int width = surface.stringWidth(edit_);
    int x = textArea.left;
    if (alignment_ == kAlignCenter) x = textArea.left + (textArea.width() - width) / 2;
    else if (alignment_ == kAlignRight) x = textArea.right - width;
    const int y = box.top + (box.height() - height) / 2;
    if (allSelected_ && !edit_.empty()) {
        surface.setFillColor(Color{51, 102, 204, 0});
        surface.fillRect({x - 1, y - 1, x + width + 1, y + height + 1});
        surface.setFontColor(colors::kWhite);
    } else {
        surface.setFontColor(colors::kBlack);
    }
    surface.drawString(edit_, {x - 1, box.top, x + width + 2, box.bottom}, false, kAlignLeft);
    if (!allSelected_) {
        const int caretX = x + surface.stringWidth(edit_.substr(0, caret_));
        surface.setFrameColor(colors::kBlack);
        surface.moveTo({caretX, y});
        surface.lineTo({caretX, y + height});
    }
}

// The table's height of the field's font, but no taller than the field
// allows and never below 9 pixels.
int TextField::editFontHeight() const {
    return std::max(9, std::min(fontEntry(fontId_).height, size_.height() - 2));
}

void TextField::mouse(Surface& surface, Point) {
    if (!mouseEnabled_ || !(surface.mouseButtons() & kPrimaryButton)) return;
    if (root_ && root_->editView() == this) return;
    if ((style_ & kDoubleClickStyle) && !isDoubleClick()) return;
    if (root_) root_->setEditView(this);
    takeFocus(&surface);
}

void TextField::takeFocus(Surface*) {
    editing_ = true;
    enter_ = false;
    cancelled_ = false;
    before_ = text_;
    edit_ = text_;
    caret_ = edit_.size();
    allSelected_ = true;
    beginNativeEdit();
    setDirty(true);  // the next idle draws the editing box, unless a native one is open
}

// The window's own edit box over the field, one pixel larger to the right
// and below, in the field's colours and plain face.
void TextField::beginNativeEdit() {
    WindowPort* window = root_ ? root_->window() : nullptr;
    NativeControls* controls = window ? window->nativeControls() : nullptr;
    if (!controls) return;
    TextEditRequest request;
    const double zoom = root_->zoom();
    request.area = zoomed(Rect{size_.left, size_.top, size_.right + 1, size_.bottom + 1}, zoom);
    request.text = text_;
    request.alignment = alignment_ == kAlignCenter || alignment_ == kAlignRight ? alignment_ : kAlignLeft;
    request.fontFace = fontEntry(fontId_).face;
    request.fontHeight = zoomed(editFontHeight(), zoom);
    request.textColor = fontColor_;
    request.backColor = backColor_;
    request.maxLength = kMaxLength;
    native_ = controls->beginTextEdit(request, [this](TextEditEnd how) { nativeEditEnded(how); });
}

void TextField::nativeEditEnded(TextEditEnd how) {
    if (!native_ || !editing_) return;
    edit_ = native_->text().substr(0, kMaxLength);
    enter_ = how == TextEditEnd::kEnter;
    endEditing(how != TextEditEnd::kEscape);
}

int TextField::keyDown(const KeyCode& key) {
    if (!editing_ || native_) return -1;  // a native box takes its keys itself
    auto eraseSelection = [&] {
        if (allSelected_) {
            edit_.clear();
            caret_ = 0;
            allSelected_ = false;
        }
    };
    switch (key.virt) {
    case kKeyReturn:
    case kKeyEnter:
        enter_ = true;
        endEditing(true);
        return 1;
    case kKeyEscape:
        endEditing(false);
        return 1;
    case kKeyBack:
        if (allSelected_) eraseSelection();
        else if (caret_ > 0) edit_.erase(--caret_, 1);
        break;
    case kKeyDelete:
        if (allSelected_) eraseSelection();
        else if (caret_ < edit_.size()) edit_.erase(caret_, 1);
        break;
    case kKeyLeft:
        if (allSelected_) caret_ = 0;
        else if (caret_ > 0) --caret_;
        allSelected_ = false;
        break;
    case kKeyRight:
        if (!allSelected_ && caret_ < edit_.size()) ++caret_;
        allSelected_ = false;
        break;
    case kKeyHome:
        caret_ = 0;
        allSelected_ = false;
        break;
    case kKeyEnd:
        caret_ = edit_.size();
        allSelected_ = false;
        break;
    default:
        if (key.character >= 32 && key.character < 256 && key.character != 127) {
            eraseSelection();
            if (edit_.size() < kMaxLength) edit_.insert(caret_++, 1, static_cast<char>(key.character));
        } else {
            return -1;
        }
        break;
    }
    setDirty(true);
    return 1;
}

void TextField::endEditing(bool keep) {
    cancelled_ = !keep;
    if (root_ && root_->editView() == this) root_->setEditView(nullptr);
    else loseFocus(nullptr);
}

void TextField::loseFocus(Surface* surface) {
    if (!editing_) return;
    editing_ = false;
    if (native_) {
        if (!cancelled_) edit_ = native_->text();
        native_.reset();
    }
    if (!cancelled_) text_ = edit_.substr(0, kMaxLength);
    setDirty(true);
    if (text_ != before_ && listener_) {
        if (surface) {
            listener_->controlChanged(surface, this);
        } else if (root_) {
            Surface own = root_->surface();
            listener_->controlChanged(&own, this);
        } else {
            listener_->controlChanged(nullptr, this);
        }
    }
    if (parent_) parent_->notify(this, "LooseFocus");
    else if (root_) root_->notify(this, "LooseFocus");
}

}  // namespace gui
