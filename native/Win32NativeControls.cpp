#include "native/Win32NativeControls.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/ModuleHandle.h"

namespace native {

using platform::moduleHandle;
namespace {

COLORREF toColorRef(const gui::Color& color) {
    return RGB(color.red, color.green, color.blue);
}

// The edit box, subclassed so that Enter, Escape and the loss of the
// keyboard end it, and so that it answers the colour requests its parent
// hands back to it.
class Win32TextEdit : public gui::NativeTextEdit {
public:
    Win32TextEdit(HWND parent, const gui::TextEditRequest& request, gui::TextEditEnded ended)
        : parent_(parent), textColor_(toColorRef(request.textColor)), backColor_(toColorRef(request.backColor)),
          ended_(std::move(ended)), last_(request.text) {
        const DWORD alignment = request.alignment == 1 ? ES_CENTER : request.alignment == 2 ? ES_RIGHT : ES_LEFT;
        const gui::Rect& area = request.area;
        edit_ = CreateWindowExA(0, "EDIT", request.text.c_str(), WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignment,
                                area.left, area.top, area.width(), area.height(), parent, nullptr, moduleHandle(),
                                nullptr);
        if (!edit_) return;
        const BYTE family = request.fontFace == "Symbol" ? FF_DECORATIVE : FF_SWISS;
        font_ = CreateFontA(request.fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | family,
                            request.fontFace.c_str());
        brush_ = CreateSolidBrush(backColor_);
        SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageA(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(3, 3));
        SendMessageA(edit_, EM_LIMITTEXT, request.maxLength, 0);
        SetWindowLongPtrA(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32TextEdit::procedure)));
        SendMessageA(edit_, EM_SETSEL, 0, -1);
        SetFocus(edit_);
    }

    ~Win32TextEdit() override {
        if (edit_) {
            // Quietly: the box leaves without reporting its loss of focus.
            SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
            SetWindowLongPtrA(edit_, GWLP_USERDATA, 0);
            if (GetFocus() == edit_ && IsWindow(parent_)) SetFocus(parent_);
            DestroyWindow(edit_);
        }
        if (font_) DeleteObject(font_);
        if (brush_) DeleteObject(brush_);
    }

    bool opened() const { return edit_ != nullptr; }

    std::string text() const override {
        if (!edit_) return last_;
        char buffer[1024] = {};
        const int length = GetWindowTextA(edit_, buffer, sizeof(buffer));
        return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    }

private:
    // Reports the end once. The callback may destroy this object: nothing
    // here touches it afterwards.
    static void finish(Win32TextEdit* self, gui::TextEditEnd how) {
        if (self->finished_) return;
        self->finished_ = true;
        const gui::TextEditEnded ended = self->ended_;
        if (ended) ended(how);
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32TextEdit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!self) return DefWindowProcA(window, message, wParam, lParam);
        const WNDPROC original = self->original_;
        switch (message) {
        case WM_GETDLGCODE:
            return CallWindowProcA(original, window, message, wParam, lParam) | DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                finish(self, wParam == VK_RETURN ? gui::TextEditEnd::kEnter : gui::TextEditEnd::kEscape);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == '\r' || wParam == '\n' || wParam == 27) return 0;  // no beep for the keys that end it
            break;
        case WM_KILLFOCUS: {
            const LRESULT result = CallWindowProcA(original, window, message, wParam, lParam);
            finish(self, gui::TextEditEnd::kFocusLost);
            return result;
        }
        case kReflectedMessage + WM_CTLCOLOREDIT:
        case kReflectedMessage + WM_CTLCOLORSTATIC: {
            HDC context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, self->textColor_);
            SetBkColor(context, self->backColor_);
            return reinterpret_cast<LRESULT>(self->brush_);
        }
        case kReflectedMessage + WM_COMMAND:
            return 0;
        case WM_DESTROY:
            // Gone with its parent: the text stays readable.
            self->last_ = self->text();
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            self->edit_ = nullptr;
            break;
        default:
            break;
        }
        return CallWindowProcA(original, window, message, wParam, lParam);
    }

    HWND parent_;
    HWND edit_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH brush_ = nullptr;
    WNDPROC original_ = nullptr;
    COLORREF textColor_;
    COLORREF backColor_;
    gui::TextEditEnded ended_;
    std::string last_;
    bool finished_ = false;
};

// One native popup menu with its submenus; the item identifiers run on
// across the submenus, from 1.
class MenuBuilder {
public:
    explicit MenuBuilder(const gui::MenuRequest& request) : request_(request) {}

    HMENU build(int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= request_.menus.size()) return nullptr;
        for (int open : opening_)
            if (open == index) return nullptr;  // a menu inside itself
        opening_.push_back(index);
        HMENU menu = CreatePopupMenu();
        const auto& items = request_.menus[static_cast<std::size_t>(index)];
        for (std::size_t i = 0; menu && i < items.size(); ++i) add(menu, index, static_cast<int>(i), items[i]);
        opening_.pop_back();
        return menu;
    }

    gui::MenuChoice choiceFor(UINT_PTR id) const {
        if (id == 0 || id > items_.size()) return {};
        return {items_[id - 1].first, items_[id - 1].second};
    }

private:
    // '&' marks a mnemonic in a native menu; the text is shown as it is.
    static std::string shown(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '&') out += '&';
            out += c;
        }
        return out;
    }

    void add(HMENU menu, int index, int position, const gui::MenuItem& item) {
        UINT flags = item.startsColumn ? MF_MENUBARBREAK : 0;
        const std::string text = shown(item.text);
        if (item.kind == gui::MenuItem::kSeparator) {
            AppendMenuA(menu, flags | MF_SEPARATOR, 0, nullptr);
            return;
        }
        if (item.kind == gui::MenuItem::kSubmenu) {
            if (HMENU sub = build(item.submenu)) {
                AppendMenuA(menu, flags | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), text.c_str());
                return;
            }
            flags |= MF_GRAYED;
        }
        if (item.kind == gui::MenuItem::kGreyed) flags |= MF_GRAYED;
        if (item.kind == gui::MenuItem::kTitle) flags |= MF_DISABLED;
        if (item.checked) flags |= MF_CHECKED;
        items_.push_back({index, position});
        AppendMenuA(menu, flags | MF_STRING, items_.size(), text.c_str());
    }

    const gui::MenuRequest& request_;
    std::vector<int> opening_;
    std::vector<std::pair<int, int>> items_;
};

class Win32NativeControls : public gui::NativeControls {
public:
    explicit Win32NativeControls(HWND window) : window_(window) {}

    std::unique_ptr<gui::NativeTextEdit> beginTextEdit(const gui::TextEditRequest& request,
                                                       gui::TextEditEnded ended) override {
        if (!IsWindow(window_)) return nullptr;
        auto edit = std::make_unique<Win32TextEdit>(window_, request, std::move(ended));
        if (!edit->opened()) return nullptr;
        return edit;
    }

    gui::MenuChoice showMenu(const gui::MenuRequest& request) override {
        if (!IsWindow(window_) || request.menus.empty()) return {};
        MenuBuilder builder(request);
        HMENU menu = builder.build(0);
        if (!menu) return {};
        POINT at{request.at.x, request.at.y};
        ClientToScreen(window_, &at);
        const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY |
                           (request.secondaryButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON);
        const UINT_PTR chosen = static_cast<UINT_PTR>(TrackPopupMenu(menu, flags, at.x, at.y, 0, window_, nullptr));
        DestroyMenu(menu);
        return builder.choiceFor(chosen);
    }

    void* windowHandle() const override { return window_; }

private:
    HWND window_;
};

}  // namespace

std::unique_ptr<gui::NativeControls> createWin32NativeControls(void* window) {
    HWND handle = static_cast<HWND>(window);
    if (!handle || !IsWindow(handle)) return nullptr;
    return std::make_unique<Win32NativeControls>(handle);
}

}  // namespace native
