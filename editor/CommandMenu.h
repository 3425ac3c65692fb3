// The top bar's menus: a popup list that draws only its title ("File") or
// its current entry in white over the part of the window's picture under it.
#pragma once

#include <memory>
#include <string>

#include "gui/PopupMenuControl.h"
#include "gui/Surface.h"

namespace editor {

class CommandMenu : public gui::PopupMenuControl {
public:
    CommandMenu(const gui::Rect& size, gui::ControlListener* listener, int tag, bool showsCurrent,
                const std::string& title, int style);

    void draw(gui::Surface& surface) override;

private:
    std::string title_;
    bool showsCurrent_;
    // The window's picture under the menu, taken at the first draw.
    std::unique_ptr<gui::OffscreenSurface> backgroundCache_;
};

}  // namespace editor
