// A control that shows its value as text over a picture or a filled frame.
#pragma once

#include <functional>
#include <string>

#include "gui/Color.h"
#include "gui/Control.h"

namespace gui {

class ValueDisplay : public Control {
public:
    enum Style : int {
        kShadowText = 0x4,
        k3DIn = 0x80,
        k3DOut = 0x100,
        kNoText = 0x800,
        kNoDrawing = 0x1000,
    };

    ValueDisplay(const Rect& size, Bitmap* background = nullptr, int style = 0);

    void draw(Surface& surface) override;

    void setAlignment(int alignment) { alignment_ = alignment; }
    int alignment() const { return alignment_; }
    void setStyle(int style) { style_ = style; }
    int style() const { return style_; }
    void setFont(int id, int style = 0) { fontId_ = id, fontStyle_ = style; }
    void setFontColor(Color color) { fontColor_ = color; }
    void setBackColor(Color color) { backColor_ = color; }
    void setFrameColor(Color color) { frameColor_ = color; }
    void setShadowColor(Color color) { shadowColor_ = color; }
    void setTextTransparency(bool transparent) { textTransparent_ = transparent; }
    // Turns the value into the text shown; without it, "%2.2f".
    void setValueToText(std::function<std::string(float)> convert) { valueToText_ = std::move(convert); }

protected:
    // Background and frame, then the text unless the style says otherwise.
    void drawFrame(Surface& surface);
    void drawText(Surface& surface, const std::string& text);
    virtual std::string text() const;

    int alignment_ = 1;
    int style_;
    int fontId_ = 3;
    int fontStyle_ = 0;
    Color fontColor_ = colors::kWhite;
    Color backColor_ = colors::kBlack;
    Color frameColor_ = colors::kBlack;
    Color shadowColor_ = colors::kRed;
    bool textTransparent_ = true;
    std::function<std::string(float)> valueToText_;
};

}  // namespace gui
