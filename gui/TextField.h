// A value display whose text the user can edit on one line: a click (or a
// double click with kDoubleClickStyle) starts editing, Enter or a click
// elsewhere ends it, Escape abandons it. The window's native edit box does
// the editing where the window has one; otherwise the field draws its own
// editor inside the window. The listener hears only of a text that really
// changed.
#pragma once

#include <memory>
#include <string>

#include "gui/NativeControls.h"
#include "gui/ValueDisplay.h"

namespace gui {

class TextField : public ValueDisplay {
public:
    static constexpr std::size_t kMaxLength = 255;
    static constexpr int kDoubleClickStyle = 0x2000;

    TextField(const Rect& size, ControlListener* listener, int tag, const std::string& text = {},
              Bitmap* background = nullptr, int style = 0);

    void setText(const std::string& text);
    const std::string& getText() const { return text_; }
    bool editing() const { return editing_; }
    bool editingNatively() const { return native_ != nullptr; }
    bool endedWithEnter() const { return enter_; }
    const std::string& editText() const { return edit_; }

    void draw(Surface& surface) override;
    void mouse(Surface& surface, Point where) override;
    int keyDown(const KeyCode& key) override;
    void takeFocus(Surface* surface) override;
    void loseFocus(Surface* surface) override;

protected:
    ~TextField() override;
    std::string text() const override;

private:
    void endEditing(bool keep);
    void drawEditor(Surface& surface);
    int editFontHeight() const;
    void beginNativeEdit();
    void nativeEditEnded(TextEditEnd how);

    std::string text_;
    std::string edit_;
    std::string before_;
    std::size_t caret_ = 0;
    bool allSelected_ = false;
    bool editing_ = false;
    bool enter_ = false;
    bool cancelled_ = false;
    std::unique_ptr<NativeTextEdit> native_;
};

}  // namespace gui
