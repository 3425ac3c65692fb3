// What the dialog and menu tests share: a top-level window of the test's
// own, and a second thread that finds a window once it shows and works it
// by messages, as a user would, while the test's thread runs it modally.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace testing_support {

// A visible top-level window of the given class (and caption, when not
// null) owned by owner, within ten seconds; null when none showed.
inline HWND waitForWindow(const char* className, const char* caption, HWND owner = nullptr) {
    for (int tries = 0; tries < 500; ++tries) {
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, className, caption)) != nullptr)
            if (IsWindowVisible(found) && (!owner || GetWindow(found, GW_OWNER) == owner)) return found;
        Sleep(20);
    }
    return nullptr;
}

// The first window of the class and id anywhere below parent.
inline HWND findDescendant(HWND parent, const char* className, int id) {
    struct Search {
        const char* className;
        int id;
        HWND found;
    } search{className, id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char name[64] = {};
            GetClassNameA(child, name, sizeof(name));
            if (lstrcmpiA(name, s->className) != 0 || GetDlgCtrlID(child) != s->id) return TRUE;
            s->found = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

// Runs the script on a thread of its own and waits for it when destroyed.
class Robot {
public:
    explicit Robot(std::function<void()> script) : thread_(std::move(script)) {}
    ~Robot() { thread_.join(); }

private:
    std::thread thread_;
};

// A plain top-level window, shown, standing in for the host's window.
class OwnerWindow {
public:
    explicit OwnerWindow(RECT where = {200, 150, 840, 690}) {
        static const char* const kClass = [] {
            WNDCLASSA windowClass{};
            windowClass.lpfnWndProc = DefWindowProcA;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.lpszClassName = "TamborikTestOwner";
            RegisterClassA(&windowClass);
            return "TamborikTestOwner";
        }();
        handle_ = CreateWindowExA(0, kClass, "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, where.left, where.top,
                                  where.right - where.left, where.bottom - where.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnerWindow() {
        if (handle_) DestroyWindow(handle_);
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

// The middle of a window's rectangle, for checks of centring.
inline POINT middleOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace testing_support
