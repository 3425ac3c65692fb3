// The native widgets a window may offer in place of the toolkit's own: a
// single-line edit box over a text field, and a popup menu. A window
// without them answers null from WindowPort::nativeControls, and the
// toolkit draws and tracks both itself.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Color.h"
#include "gui/Geometry.h"

namespace gui {

// An open edit box. Destroying it closes the box without a word to anyone.
class NativeTextEdit {
public:
    virtual ~NativeTextEdit() = default;
    virtual std::string text() const = 0;
};

struct TextEditRequest {
    Rect area;                    // window pixels
    std::string text;             // shown all selected
    int alignment = 0;            // 0 left, 1 centre, 2 right
    std::string fontFace;
    int fontHeight = 12;          // cell height in pixels
    Color textColor;
    Color backColor;
    std::size_t maxLength = 255;  // characters the user can type
};

// How the user left the edit box.
enum class TextEditEnd { kEnter, kEscape, kFocusLost };
// Called once; the box may be destroyed from inside the call.
using TextEditEnded = std::function<void(TextEditEnd how)>;

struct MenuItem {
    enum Kind { kEntry, kSeparator, kSubmenu, kGreyed, kTitle };
    Kind kind = kEntry;
    std::string text;          // as shown, without its prefix
    bool checked = false;
    bool startsColumn = false;
    int submenu = -1;          // kSubmenu: its index in MenuRequest::menus
};

struct MenuRequest {
    // menus[0] is the one that opens; submenus follow in any order.
    std::vector<std::vector<MenuItem>> menus;
    Point at;                   // its top-left corner, in window pixels
    bool secondaryButton = false;  // opened with the secondary button, which then chooses
};

struct MenuChoice {
    int menu = -1;  // index into MenuRequest::menus, -1 when nothing was chosen
    int item = -1;
    bool chosen() const { return menu >= 0 && item >= 0; }
};

class NativeControls {
public:
    virtual ~NativeControls() = default;
    // Null when no box could be made; the caller then edits in its own way.
    virtual std::unique_ptr<NativeTextEdit> beginTextEdit(const TextEditRequest& request,
                                                          TextEditEnded ended) = 0;
    // Runs the menu until the user chooses or leaves it.
    virtual MenuChoice showMenu(const MenuRequest& request) = 0;
    // The native window the controls live in; dialogs are owned by it.
    virtual void* windowHandle() const = 0;
};

}  // namespace gui
