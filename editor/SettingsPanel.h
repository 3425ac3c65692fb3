// The "Settings" dialog, drawn inside the editor's window as its modal
// view: output layout, note names and velocity curve as groups of radio
// buttons, the volume lock as a check box, OK and Cancel. OK writes the
// values to the registry; Cancel, Escape or the close box write nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "persist/SettingsDialogModel.h"

namespace editor {

class SettingsPanel : public gui::Control {
public:
    enum : int { kCancel = 2 };
    // Called once the panel has left the window; true after OK.
    using Closed = std::function<void(bool accepted)>;

    SettingsPanel(const gui::Rect& window, platform::Registry& registry, const std::string& key, Closed closed);

    void draw(gui::Surface& surface) override;
    void mouse(gui::Surface& surface, gui::Point where) override;
    int keyDown(const gui::KeyCode& key) override;

    const persist::SettingsDialogModel& model() const { return model_; }
    // Where the item with this control id sits, in window pixels.
    gui::Rect itemRect(int id) const;
    void accept();
    void cancel();

private:
    enum class Kind { kGroup, kRadio, kCheck, kButton };
    struct Item {
        int id;
        Kind kind;
        std::string text;
        gui::Rect rect;
    };
    void finish(bool accepted);
    void drawItem(gui::Surface& surface, const Item& item) const;

    persist::SettingsDialogModel model_;
    std::vector<Item> items_;
    gui::Rect closeBox_;
    int pressed_ = 0;
    Closed closed_;
    bool finished_ = false;
};

}  // namespace editor
