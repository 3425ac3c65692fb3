#include "native/Win32Window.h"

#include <ole2.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "gui/GuiEditorBase.h"
#include "gui/RootView.h"
#include "platform/ModuleHandle.h"
#include "native/Win32DropTarget.h"
#include "native/Win32Keys.h"
#include "native/Win32NativeControls.h"

namespace native {

using platform::moduleHandle;

struct Win32Window::Native {
    HWND window = nullptr;
    gui::GuiEditorBase* editor = nullptr;  // known from the first idle on
    const gui::PixelBuffer* shown = nullptr;
    Win32DropTarget* drop = nullptr;
    std::unique_ptr<gui::NativeControls> controls;  // made at the first use
    bool dropRegistered = false;
    bool oleStarted = false;  // our own OleInitialize, undone when the window goes
    bool classUsed = false;
    // Inside a click or a wheel turn: the mouse is what its messages say.
    bool fromMessages = false;
    int pointer = 0;  // gui::MouseButton bits as of the messages read
    gui::Point where{};
    // Cleared when the window object goes, so a handler whose callback
    // closed the editor touches nothing more.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    ~Native();
    LRESULT message(HWND hwnd, UINT message, WPARAM w, LPARAM l);
    void paint(HDC dc, RECT area) const;
    void click(HWND hwnd, WPARAM w, LPARAM l);
    bool wheel(HWND hwnd, WPARAM w, LPARAM l);
    bool key(UINT message, WPARAM w, LPARAM l);
    bool follow(const MSG& m);
    void revokeDrop();
    gui::RootView* root() const { return editor ? editor->rootView() : nullptr; }
};

namespace {

constexpr int kButtonBits = gui::kPrimaryButton | gui::kMiddleButton | gui::kSecondaryButton;
// Messages a native control sends its parent come back to it with
// kReflectedMessage added, so the control handles them itself.

// The window class, registered while any editor window of the module
// exists. The system's swap-buttons setting is read when it is registered.
std::mutex classLock;
int classUsers = 0;
bool swappedButtons = false;

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l);

bool useClass() {
    std::lock_guard<std::mutex> guard(classLock);
    if (classUsers == 0) {
        swappedButtons = GetSystemMetrics(SM_SWAPBUTTON) != 0;
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_GLOBALCLASS;
        windowClass.lpfnWndProc = &windowProcedure;
        windowClass.hInstance = moduleHandle();
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
        windowClass.lpszClassName = Win32Window::className();
        if (!RegisterClassExA(&windowClass)) return false;
    }
    ++classUsers;
    return true;
}

void leaveClass() {
    std::lock_guard<std::mutex> guard(classLock);
    if (classUsers > 0 && --classUsers == 0) UnregisterClassA(Win32Window::className(), moduleHandle());
}

gui::Point pointOf(LPARAM l) {
    return {static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
}

LRESULT CALLBACK windowProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* native = static_cast<Win32Window::Native*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        native->window = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native));
    }
    auto* native = reinterpret_cast<Win32Window::Native*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!native) return DefWindowProcA(hwnd, message, w, l);
    return native->message(hwnd, message, w, l);
}

}  // namespace

Win32Window::Native::~Native() {
    if (classUsed) leaveClass();
}

LRESULT Win32Window::Native::message(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(hwnd, &ps)) {
            if (shown) paint(dc, ps.rcPaint);
            EndPaint(hwnd, &ps);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        if (shown) paint(reinterpret_cast<HDC>(w), {0, 0, shown->width(), shown->height()});
        return 0;
    case WM_ERASEBKGND:
        if (shown) return 1;  // the picture covers everything
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: click(hwnd, w, l); return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        if (!fromMessages) {
            pointer = pointerBits(w);
            where = pointOf(l);
            if (!(pointer & kButtonBits) && GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (wheel(hwnd, w, l)) return 0;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        if (key(message, w, l)) return 0;
        break;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_COMMAND:
        if (l) return SendMessageA(reinterpret_cast<HWND>(l), kReflectedMessage + message, w, l);
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (l) {
            if (const LRESULT answer = SendMessageA(reinterpret_cast<HWND>(l), kReflectedMessage + message, w, l))
                return answer;
        }
        break;
    case WM_DESTROY:
        // Also when the host destroys its window first: the views stop.
        revokeDrop();
        if (gui::RootView* view = root()) view->close();
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        window = nullptr;
        break;
    default: break;
    }
    return DefWindowProcA(hwnd, message, w, l);
}

// Shows the rows and columns of area from the pixels, which are laid out
// as a 32-bit DIB already (blue, green, red, unused).
void Win32Window::Native::paint(HDC dc, RECT area) const {
    const int width = shown->width(), height = shown->height();
    const LONG left = std::max<LONG>(area.left, 0), top = std::max<LONG>(area.top, 0);
    const LONG right = std::min<LONG>(area.right, width), bottom = std::min<LONG>(area.bottom, height);
    if (right <= left || bottom <= top) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -(bottom - top);  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const std::uint32_t* rows = shown->pixels().data() + static_cast<std::size_t>(top) * width;
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left, 0, 0,
                      static_cast<UINT>(bottom - top), rows, &info, DIB_RGB_COLORS);
}

// The click goes to the views at once; a control that tracks the drag reads
// the mouse messages that follow while it runs. The window keeps the mouse
// until the last button is released.
void Win32Window::Native::click(HWND hwnd, WPARAM w, LPARAM l) {
    SetFocus(hwnd);
    SetCapture(hwnd);
    pointer = pointerBits(w);
    where = pointOf(l);
    gui::RootView* view = root();
    if (view && !fromMessages) {
        const std::shared_ptr<bool> token = alive;
        fromMessages = true;
        gui::Surface surface = view->surface();
        view->mouse(surface, where);
        if (!*token) return;
        fromMessages = false;
    }
    if (!(pointer & kButtonBits) && GetCapture() == hwnd) ReleaseCapture();
}

bool Win32Window::Native::wheel(HWND hwnd, WPARAM w, LPARAM l) {
    gui::RootView* view = root();
    if (!view || fromMessages) return false;
    POINT at{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};  // on the screen
    ScreenToClient(hwnd, &at);
    const std::shared_ptr<bool> token = alive;
    fromMessages = true;
    pointer = pointerBits(GET_KEYSTATE_WPARAM(w));  // Shift turns in fine steps
    where = {at.x, at.y};
    const bool taken = view->wheelAt(where, static_cast<float>(GET_WHEEL_DELTA_WPARAM(w)) / WHEEL_DELTA);
    if (*token) fromMessages = false;
    return taken;
}

bool Win32Window::Native::key(UINT message, WPARAM w, LPARAM l) {
    gui::KeyCode code;
    if (!editor || !toKeyCode(message, w, l, &code)) return false;
    return message == WM_KEYUP ? editor->onKeyUp(code) : editor->onKeyDown(code);
}

// Follows the mouse through one message; false for the wheel.
bool Win32Window::Native::follow(const MSG& m) {
    switch (m.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        pointer = pointerBits(m.wParam);
        where = pointOf(m.lParam);
        return true;
    default: return false;
    }
}

void Win32Window::Native::revokeDrop() {
    if (dropRegistered && window) RevokeDragDrop(window);
    dropRegistered = false;
}

const char* Win32Window::className() {
    // The module handle in lower-case hexadecimal, eight digits for a
    // 32-bit module; a 64-bit module loaded above 4 GB keeps every digit,
    // so two modules never share a class name.
    static char name[32] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        std::snprintf(name, sizeof(name), "Plugin%08llx",
                      static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(moduleHandle())));
    });
    return name;
}

std::unique_ptr<Win32Window> Win32Window::create(void* parent, int width, int height) {
    const auto parentWindow = static_cast<HWND>(parent);
    if (!parentWindow || !IsWindow(parentWindow) || width <= 0 || height <= 0) return nullptr;
    auto native = std::make_unique<Native>();
    if (!useClass()) return nullptr;
    native->classUsed = true;
    // Drops need OLE on this thread; when the host started it already,
    // ours only counts once more and is undone with the window.
    native->oleStarted = SUCCEEDED(OleInitialize(nullptr));
    if (!CreateWindowExA(0, className(), "Window", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                         width, height, parentWindow, nullptr, moduleHandle(), native.get())) {
        if (native->oleStarted) OleUninitialize();
        return nullptr;
    }
    Native* owner = native.get();
    native->drop = new Win32DropTarget(native->window, [owner](const char* const* items, int count, int kind,
                                                               gui::Point where) {
        gui::RootView* view = owner->root();
        return view && view->dropNotification(items, count, kind, where);
    });
    if (native->oleStarted) native->dropRegistered = SUCCEEDED(RegisterDragDrop(native->window, native->drop));
    return std::unique_ptr<Win32Window>(new Win32Window(std::move(native)));
}

Win32Window::Win32Window(std::unique_ptr<Native> native) : w_(std::move(native)) {}

Win32Window::~Win32Window() {
    Native& n = *w_;
    *n.alive = false;
    n.shown = nullptr;
    n.editor = nullptr;
    n.controls.reset();
    n.revokeDrop();
    if (n.drop) {
        n.drop->detach();
        n.drop->Release();
    }
    if (n.window) {
        if (GetCapture() == n.window) ReleaseCapture();
        const HWND window = n.window;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        n.window = nullptr;
        DestroyWindow(window);
    }
    if (n.oleStarted) OleUninitialize();
}

void* Win32Window::nativeHandle() const {
    return w_->window;
}

gui::NativeControls* Win32Window::nativeControls() {
    if (!w_->window) return nullptr;
    if (!w_->controls) w_->controls = createWin32NativeControls(w_->window);
    return w_->controls.get();
}

gui::Point Win32Window::screenPosition() {
    POINT origin{0, 0};
    if (!w_->window || !ClientToScreen(w_->window, &origin)) return {};
    return {origin.x, origin.y};
}

void Win32Window::present(const gui::PixelBuffer& pixels, const gui::Rect& area) {
    w_->shown = &pixels;
    if (!w_->window) return;
    if (HDC dc = GetDC(w_->window)) {
        w_->paint(dc, {area.left, area.top, area.right, area.bottom});
        ReleaseDC(w_->window, dc);
    }
}

bool Win32Window::hoverLocation(gui::Point* where) {
    POINT cursor{};
    RECT client{};
    if (!w_->window || !GetCursorPos(&cursor) || !ScreenToClient(w_->window, &cursor) ||
        !GetClientRect(w_->window, &client) ||
        (liveButtons(swappedButtons) & (gui::kPrimaryButton | gui::kMiddleButton | gui::kSecondaryButton)) != 0)
        return false;
    if (cursor.x < 0 || cursor.y < 0 || cursor.x >= client.right || cursor.y >= client.bottom) return false;
    *where = {cursor.x, cursor.y};
    return true;
}

bool Win32Window::resize(int width, int height) {
    if (!w_->window || width <= 0 || height <= 0) return false;
    w_->shown = nullptr;  // the views are drawn again at the new size
    return SetWindowPos(w_->window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void Win32Window::handleEvents(gui::GuiEditorBase& editor) {
    w_->editor = &editor;
    if (gui::RootView* view = editor.rootView()) w_->shown = &view->pixels();
}

int Win32Window::buttons() {
    return w_->fromMessages ? w_->pointer : liveButtons(swappedButtons);
}

// During a click: the mouse as of the messages read so far. Moves are taken
// together; a button change is taken on its own, after the moves before it
// have been seen, so a drag ends where it was released. With none queued,
// where it is now.
gui::Point Win32Window::location() {
    Native& n = *w_;
    if (!n.window) return n.where;
    if (n.fromMessages) {
        MSG m;
        bool followed = false;
        while (PeekMessageA(&m, n.window, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
            const bool move = m.message == WM_MOUSEMOVE;
            if (followed && !move) break;
            PeekMessageA(&m, n.window, m.message, m.message, PM_REMOVE);
            if (n.follow(m)) followed = true;
            if (followed && !move) break;
        }
        if (followed) return n.where;
    }
    POINT at;
    if (GetCursorPos(&at) && ScreenToClient(n.window, &at)) n.where = {at.x, at.y};
    if (n.fromMessages) n.pointer = liveButtons(swappedButtons);
    return n.where;
}

long long Win32Window::ticks() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Win32Window::sleep(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds > 0 ? milliseconds : 0));
}

bool Win32Window::nextKey(gui::KeyCode* key) {
    MSG m;
    while (w_->window && PeekMessageA(&m, w_->window, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
        if ((m.message == WM_KEYDOWN || m.message == WM_CHAR) && toKeyCode(m.message, m.wParam, m.lParam, key))
            return true;
    return false;
}

void Win32Window::pumpPaint() {
    MSG m;
    if (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&m);
}

int Win32Window::doubleClickTime() {
    return static_cast<int>(GetDoubleClickTime());
}

bool Win32Window::modalLoopAlive() {
    return w_->window && IsWindow(w_->window);
}

std::unique_ptr<gui::WindowPort> createWin32Window(void* parent, int width, int height) {
    return Win32Window::create(parent, width, height);
}

}  // namespace native
