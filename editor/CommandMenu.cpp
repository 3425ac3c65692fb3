#include "editor/CommandMenu.h"

#include "gui/RootView.h"

namespace editor {

namespace {
constexpr int kMenuFont = 6;
}

CommandMenu::CommandMenu(const gui::Rect& size, gui::ControlListener* listener, int tag, bool showsCurrent,
                         const std::string& title, int style)
    : PopupMenuControl(size, listener, tag, nullptr, nullptr, style), title_(title), showsCurrent_(showsCurrent) {
    setAlignment(gui::kAlignCenter);
    setFont(kMenuFont);
    setFontColor(gui::colors::kWhite);
}

void CommandMenu::draw(gui::Surface& surface) {
    if (!backgroundCache_) {
        backgroundCache_ = std::make_unique<gui::OffscreenSurface>(root_, size_.width(), size_.height(),
                                                                   gui::colors::kBlack, surface.zoom());
        if (root_ && root_->background())
            root_->background()->draw(*backgroundCache_, {0, 0, size_.width(), size_.height()},
                                      {size_.left, size_.top});
    }
    backgroundCache_->copyTo(surface, size_, {0, 0});
    std::string shown = title_;
    if (showsCurrent_) current(&shown);
    surface.setFont(fontId_, 0, 0);
    surface.setFontColor(fontColor_);
    surface.drawString(shownText(shown), size_, false, gui::kAlignCenter);
    setDirty(false);
}

}  // namespace editor
