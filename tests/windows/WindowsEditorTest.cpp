// The 64-bit module's editor in a window of the test's own, as a Windows
// host shows it: opened through the entry point and effEditOpen, read back
// from the screen and compared with the Linux build's drawing, driven with
// mouse messages, the wheel and drops, opened and closed many times.
#include <ole2.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "editor/EditorLayout.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "native/Win32DropTarget.h"
#include "native/Win32Keys.h"
#include "WindowRobot.h"

namespace {

namespace lay = editor::layout;
using host::PluginInstance;
using host::PluginModule;

constexpr int kWidth = lay::kWindowWidth;
constexpr int kHeight = lay::kWindowHeight;
constexpr int kDecay = 3;  // Kick 1 Decay

// No window manager runs with the test's X server: wine is told to manage
// no window, or it waits two seconds for one each time a window is hidden.
// Set before the first window loads its X11 driver.
const bool unmanagedWindows = [] {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const char no[] = "N";
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof(no));
    RegCloseKey(key);
    return true;
}();

void pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

const char* registerClass(const char* name, WNDPROC procedure) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassExA(&windowClass);
    return name;
}

HWND makeHostWindow() {
    static const char* name = registerClass("TamborikTestHost", &DefWindowProcA);
    HWND window = CreateWindowExA(0, name, "Test host", WS_POPUP | WS_VISIBLE, 0, 0, kWidth + 40, kHeight + 40,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    pump();
    return window;
}

// The window's pixels as 0x00RRGGBB: what the screen shows, or what the
// window draws when asked to print itself.
std::vector<std::uint32_t> pixelsOf(HWND window, bool printed) {
    std::vector<std::uint32_t> pixels;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        const bool copied = printed ? PrintWindow(window, memory, PW_CLIENTONLY)
                                    : BitBlt(memory, 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
        GdiFlush();
        if (copied) {
            const auto* source = static_cast<const std::uint32_t*>(bits);
            pixels.assign(source, source + kWidth * kHeight);
            for (std::uint32_t& p : pixels) p &= 0xffffff;
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return pixels;
}

void writePicture(const char* path, const std::vector<std::uint32_t>& pixels) {
    std::vector<unsigned char> rgb;
    for (std::uint32_t p : pixels)
        rgb.insert(rgb.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                               static_cast<unsigned char>(p)});
    stbi_write_png(path, kWidth, kHeight, 3, rgb.data(), kWidth * 3);
}

// The Linux build's headless drawing of a freshly opened editor.
std::vector<std::uint32_t> linuxDrawing() {
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(TAMBORIK_LINUX_PICTURE, &width, &height, &channels, 3);
    std::vector<std::uint32_t> pixels;
    if (rgb && width == kWidth && height == kHeight)
        for (int i = 0; i < width * height; ++i)
            pixels.push_back(std::uint32_t{rgb[3 * i]} << 16 | std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2]);
    stbi_image_free(rgb);
    return pixels;
}

int differences(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) return -1;
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

std::string expectedClassName() {
    char name[32];
    std::snprintf(name, sizeof(name), "Plugin%08llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(GetModuleHandleA("Tamborik.dll"))));
    return name;
}

bool classRegistered() {
    WNDCLASSEXA found{};
    found.cbSize = sizeof(found);
    return GetClassInfoExA(GetModuleHandleA("Tamborik.dll"), expectedClassName().c_str(), &found) != 0;
}

// Data offered to a drop target in one clipboard format.
class OfferedData : public IDataObject {
public:
    OfferedData(CLIPFORMAT format, const void* content, std::size_t size) : format_(format), content_(size) {
        std::memcpy(content_.data(), content, size);
    }
    int handedOut() const { return handedOut_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_IDataObject)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        if (QueryGetData(wanted) != S_OK) return DV_E_FORMATETC;
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, content_.size());
        std::memcpy(GlobalLock(copy), content_.data(), content_.size());
        GlobalUnlock(copy);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        ++handedOut_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        return wanted && wanted->cfFormat == format_ && (wanted->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CLIPFORMAT format_;
    std::vector<char> content_;
    int handedOut_ = 0;
};

// A file list as the shell offers it: a header, then the paths, each
// ended by a zero, and one zero more.
std::vector<char> fileList(const std::vector<std::string>& paths) {
    std::vector<char> data(sizeof(DROPFILES), 0);
    reinterpret_cast<DROPFILES*>(data.data())->pFiles = sizeof(DROPFILES);
    for (const std::string& path : paths) data.insert(data.end(), path.c_str(), path.c_str() + path.size() + 1);
    data.push_back(0);
    return data;
}

std::string temporaryFolder() {
    char folder[MAX_PATH];
    GetTempPathA(sizeof(folder), folder);
    return folder;
}

POINT onScreenOf(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    return at;
}

class WindowsEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent = makeHostWindow();
        ASSERT_NE(parent, nullptr);
        std::string error;
        module = PluginModule::load(TAMBORIK_MODULE_PATH, &error);
        ASSERT_TRUE(module) << error;
        instance = PluginInstance::create(*module);
        ASSERT_TRUE(instance);
        // Far from the window: the pointer takes no part unless a test puts it there.
        SetCursorPos(1000, 760);
    }
    void TearDown() override {
        instance.reset();
        second.reset();
        module.reset();
        if (parent && IsWindow(parent)) DestroyWindow(parent);
        pump();
    }

    vst::VstIntPtr openIn(PluginInstance& plugin, HWND window) {
        const vst::VstIntPtr opened = plugin.dispatch(vst::effEditOpen, 0, 0, window);
        idle(plugin);
        return opened;
    }
    void idle(PluginInstance& plugin) {
        pump();
        plugin.dispatch(vst::effEditIdle);
        pump();
    }
    static HWND editorWindow(HWND host) { return FindWindowExA(host, nullptr, nullptr, "Window"); }
    static POINT onScreen(HWND window, int x, int y) { return onScreenOf(window, x, y); }
    // What a drop could change: every parameter, the program and its name.
    std::vector<float> state() {
        std::vector<float> values;
        for (int i = 0; i < 88; ++i) values.push_back(instance->getParameter(i));
        values.push_back(static_cast<float>(instance->dispatch(vst::effGetProgram)));
        char name[64] = {};
        instance->dispatch(vst::effGetProgramName, 0, 0, name);
        for (char c : std::string(name)) values.push_back(c);
        return values;
    }

    HWND parent = nullptr;
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<PluginInstance> instance;
    std::unique_ptr<PluginInstance> second;
};

TEST_F(WindowsEditorTest, OpensAChildWindowOfItsOwnClassThatShowsTheLinuxDrawing) {
    EXPECT_EQ(instance->effect()->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    ASSERT_NE(child, nullptr);
    char className[64] = {};
    GetClassNameA(child, className, sizeof(className));
    EXPECT_EQ(className, expectedClassName());
    EXPECT_TRUE(classRegistered());
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD, WS_CHILD);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 623);
    EXPECT_EQ(client.bottom, 540);

    const auto expected = linuxDrawing();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kWidth * kHeight)) << "no picture at " TAMBORIK_LINUX_PICTURE;
    const auto shown = pixelsOf(child, false);
    writePicture("windows-editor.png", shown);
    EXPECT_EQ(differences(shown, expected), 0);
    EXPECT_EQ(differences(pixelsOf(child, true), expected), 0);

    // Covered by another window and uncovered, it paints itself again.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 700, nullptr, nullptr,
                                 nullptr, nullptr);
    pump();
    DestroyWindow(cover);
    pump();
    EXPECT_EQ(differences(pixelsOf(child, false), expected), 0);

    instance->dispatch(vst::effEditClose);
    EXPECT_EQ(editorWindow(parent), nullptr);
    EXPECT_FALSE(classRegistered());
}

TEST_F(WindowsEditorTest, ADragUpwardsMovesTheKnobAndTheHostSeesTheEdit) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    instance->setParameter(kDecay, 0.25f);
    idle(*instance);
    const auto before = pixelsOf(child, false);
    instance->clearHostCalls();
    const int x = lay::columnCentre(0), y = lay::knobRowCentre(4);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 10; ++step) PostMessageA(child, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y - 10 * step));
    PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(x, y - 100));
    pump();
    EXPECT_NEAR(instance->getParameter(kDecay), 0.75f, 1e-5f);  // 100 pixels are half the range
    EXPECT_EQ(GetCapture(), nullptr);

    const auto& calls = instance->hostCalls();
    const auto begin = std::find(calls.begin(), calls.end(), vst::audioMasterBeginEdit);
    const auto automate = std::find(begin, calls.end(), vst::audioMasterAutomate);
    const auto end = std::find(automate, calls.end(), vst::audioMasterEndEdit);
    EXPECT_NE(begin, calls.end());
    EXPECT_NE(automate, calls.end());
    EXPECT_NE(end, calls.end());
    idle(*instance);
    EXPECT_GT(differences(pixelsOf(child, false), before), 0);  // the knob shows it
    instance->dispatch(vst::effEditClose);
}

// The mouse as the system delivers it: pressed over the knob, then moved
// and released by another thread while the drag runs inside the click.
void sendMouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((at.x * 65536 + width - 1) / width);
    input.mi.dy = static_cast<LONG>((at.y * 65536 + height - 1) / height);
    input.mi.dwFlags = flags | (flags & MOUSEEVENTF_MOVE ? MOUSEEVENTF_ABSOLUTE : 0);
    SendInput(1, &input, sizeof(input));
}

void dragWithTheSystemMouse(HWND child) {
    const POINT start = onScreenOf(child, lay::columnCentre(0), lay::knobRowCentre(4));
    sendMouse(MOUSEEVENTF_MOVE, start);
    sendMouse(MOUSEEVENTF_LEFTDOWN);
    std::thread user([&] {
        Sleep(50);
        for (int step = 1; step <= 10; ++step) {
            sendMouse(MOUSEEVENTF_MOVE, {start.x, start.y - 10 * step});
            Sleep(15);
        }
        sendMouse(MOUSEEVENTF_LEFTUP);
    });
    pump();  // the press: the knob follows the mouse until it is released
    user.join();
    pump();
}

TEST_F(WindowsEditorTest, ADragWithTheSystemsMouseFollowsItLive) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    instance->setParameter(kDecay, 0.25f);
    idle(*instance);
    instance->clearHostCalls();
    dragWithTheSystemMouse(editorWindow(parent));
    EXPECT_NEAR(instance->getParameter(kDecay), 0.75f, 1e-5f);
    const auto& calls = instance->hostCalls();
    EXPECT_GE(std::count(calls.begin(), calls.end(), vst::audioMasterAutomate), 2);  // moved along the way
    EXPECT_EQ(GetCapture(), nullptr);
    instance->dispatch(vst::effEditClose);
}

TEST_F(WindowsEditorTest, TheWheelTurnsAKnobFromTheWindowAndFromTheHost) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    instance->setParameter(kDecay, 0.5f);
    const POINT knob = onScreen(child, lay::columnCentre(0), lay::knobRowCentre(4));

    // The host hands its wheel over: the knob under the pointer turns.
    ASSERT_TRUE(SetCursorPos(knob.x, knob.y));
    const vst::VstInt32 caller = vst::fourCharCode('s', 't', 'C', 'A');
    const vst::VstIntPtr wheel = vst::fourCharCode('W', 'h', 'e', 'e');
    EXPECT_EQ(instance->dispatch(vst::effVendorSpecific, caller, wheel, nullptr, 1.0f), 1);
    EXPECT_NEAR(instance->getParameter(kDecay), 0.6f, 1e-6f);
    SetCursorPos(1000, 760);
    EXPECT_EQ(instance->dispatch(vst::effVendorSpecific, caller, wheel, nullptr, 1.0f), 0);  // over nothing
    EXPECT_EQ(instance->dispatch(vst::effVendorSpecific, caller, 0, nullptr, 1.0f), 0);
    EXPECT_NEAR(instance->getParameter(kDecay), 0.6f, 1e-6f);

    // The window's own wheel messages; Shift turns by a tenth.
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(knob.x, knob.y));
    EXPECT_NEAR(instance->getParameter(kDecay), 0.59f, 1e-6f);
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(knob.x, knob.y));
    EXPECT_NEAR(instance->getParameter(kDecay), 0.69f, 1e-6f);
    instance->dispatch(vst::effEditClose);
}

TEST_F(WindowsEditorTest, ManyOpensAndTwoInstancesShareOneClassThatGoesWithTheLastWindow) {
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(instance->dispatch(vst::effEditOpen, 0, 0, parent), 1) << i;
        instance->dispatch(vst::effEditIdle);
        ASSERT_TRUE(classRegistered()) << i;
        instance->dispatch(vst::effEditClose);
        ASSERT_FALSE(classRegistered()) << i;
        ASSERT_EQ(editorWindow(parent), nullptr) << i;
    }
    pump();

    second = PluginInstance::create(*module);
    ASSERT_TRUE(second);
    const HWND otherParent = makeHostWindow();
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_EQ(openIn(*second, otherParent), 1);
    EXPECT_NE(editorWindow(parent), nullptr);
    EXPECT_NE(editorWindow(otherParent), nullptr);
    EXPECT_TRUE(classRegistered());
    instance->dispatch(vst::effEditClose);
    EXPECT_TRUE(classRegistered());  // the other window still uses it
    EXPECT_NE(editorWindow(otherParent), nullptr);
    second->dispatch(vst::effEditClose);
    EXPECT_FALSE(classRegistered());
    DestroyWindow(otherParent);
}

TEST_F(WindowsEditorTest, DropsOfATextOrOfFilesAreRefusedAndChangeNothing) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    auto* target = static_cast<IDropTarget*>(GetPropA(child, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr) << "no drop target registered";
    const auto values = state();
    const auto pixels = pixelsOf(child, false);
    const POINT knob = onScreen(child, lay::columnCentre(0), lay::knobRowCentre(4));
    const POINTL at{knob.x, knob.y};

    const char text[] = "Drums";
    OfferedData words(CF_TEXT, text, sizeof(text));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&words, MK_LBUTTON | MK_CONTROL, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&words, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(words.handedOut(), 1);  // the text reached the views, which refused it
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));

    // A file list with a shortcut that points nowhere.
    const std::string folder = temporaryFolder();
    const std::string broken = folder + "Broken.LNK";
    FILE* file = std::fopen(broken.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("not a shortcut", file);
    std::fclose(file);
    const auto list = fileList({folder + "Mine.fxb", broken, std::string(1100, 'x')});
    OfferedData files(CF_HDROP, list.data(), list.size());
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(&files, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(&files, MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(files.handedOut(), 1);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    DeleteFileA(broken.c_str());

    // Anything else shows no effect and is not taken.
    const char bits[] = {1, 2, 3};
    OfferedData other(CF_DIB, bits, sizeof(bits));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(&other, MK_LBUTTON | MK_CONTROL, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);

    idle(*instance);
    EXPECT_EQ(state(), values);
    EXPECT_EQ(differences(pixelsOf(child, false), pixels), 0);
    instance->dispatch(vst::effEditClose);
    EXPECT_EQ(GetPropA(child, "OleDropTargetInterface"), nullptr);
}

TEST_F(WindowsEditorTest, AFieldIsEditedInTheSystemsEditBoxAndADropWhileEditingIsRefused) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    auto* target = static_cast<IDropTarget*>(GetPropA(child, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    const lay::Box& box = lay::kProgramNameField;
    const LPARAM field = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    auto click = [&] {
        PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, field);
        PostMessageA(child, WM_LBUTTONUP, 0, field);
        idle(*instance);
    };
    auto programName = [&] {
        char name[64] = {};
        instance->dispatch(vst::effGetProgramName, 0, 0, name);
        return std::string(name);
    };
    const std::string before = programName();
    // A click on the field opens the system's edit box over it, in the
    // editor's window, with the keyboard.
    auto editBox = [&] {
        const HWND focused = GetFocus();
        char name[16] = {};
        GetClassNameA(focused, name, sizeof(name));
        EXPECT_EQ(GetParent(focused), child);
        EXPECT_STRCASEEQ(name, "Edit");
        return focused;
    };
    click();
    HWND edit = editBox();

    const char text[] = "Dropped";
    OfferedData words(CF_TEXT, text, sizeof(text));
    const POINT inField = onScreen(child, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    DWORD effect = DROPEFFECT_MOVE;
    target->DragEnter(&words, MK_LBUTTON, {inField.x, inField.y}, &effect);
    EXPECT_EQ(target->Drop(&words, MK_LBUTTON, {inField.x, inField.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(programName(), before);

    // The box took everything: the typed text replaces the name.
    for (char c : std::string("Zap")) SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
    idle(*instance);
    EXPECT_EQ(programName(), "Zap");
    // Escape leaves it as it was.
    click();
    edit = editBox();
    SendMessageA(edit, WM_CHAR, 'Q', 1);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    idle(*instance);
    EXPECT_EQ(programName(), "Zap");
    instance->dispatch(vst::effEditClose);
}

// Menus and the settings dialog opened from the editor are the system's:
// the program menu is chosen from by keys, and "Settings" in the File menu
// runs dialog 1000 from the module's resources, which Escape leaves without
// writing anything.
// The host's scale before the window opens and while it is open: the window
// takes the zoomed size, the host is asked to make room, and 200 pixels of
// drag at 200 % are half a knob's range.
TEST_F(WindowsEditorTest, TheHostsScaleSizesTheWindowAndTheDragFollowsTheZoom) {
    const auto scale = [&](float factor) {
        return instance->dispatch(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                                  vst::fourCharCode('A', 'e', 'C', 's'), nullptr, factor);
    };
    const auto size = [&] {
        RECT client{};
        GetClientRect(editorWindow(parent), &client);
        return std::pair{static_cast<int>(client.right), static_cast<int>(client.bottom)};
    };
    EXPECT_EQ(scale(2.0f), 1);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(instance->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 1248);
    EXPECT_EQ(rect->bottom - rect->top, 1080);
    ASSERT_EQ(openIn(*instance, parent), 1);
    EXPECT_EQ(size(), (std::pair{1246, 1080}));

    const HWND child = editorWindow(parent);
    instance->setParameter(kDecay, 0.25f);
    idle(*instance);
    const int x = 2 * lay::columnCentre(0), y = 2 * lay::knobRowCentre(4);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 10; ++step) PostMessageA(child, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y - 20 * step));
    PostMessageA(child, WM_LBUTTONUP, 0, MAKELPARAM(x, y - 200));
    pump();
    EXPECT_NEAR(instance->getParameter(kDecay), 0.75f, 1e-5f);

    instance->clearHostCalls();
    for (float odd : {0.0f, -1.0f, NAN, INFINITY, 1000.0f, 1.5f}) scale(odd);
    idle(*instance);
    EXPECT_EQ(size(), (std::pair{935, 810}));
    const auto& calls = instance->hostCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), vst::audioMasterSizeWindow), calls.end());
    instance->dispatch(vst::effEditClose);
}

TEST_F(WindowsEditorTest, TheEditorsMenusAndSettingsDialogAreTheSystems) {
    using testing_support::Robot;
    using testing_support::waitForWindow;
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    auto clickOn = [&](const lay::Box& box) {
        const LPARAM at = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(child, WM_LBUTTONUP, 0, at);
        idle(*instance);
    };
    auto press = [](HWND window, std::initializer_list<WPARAM> keys) {
        Sleep(100);
        for (WPARAM key : keys) {
            PostMessageA(window, WM_KEYDOWN, key, 0);
            Sleep(50);
        }
    };
    {
        // Down three times from nothing chosen: the third program.
        Robot robot([&] {
            if (HWND menu = waitForWindow("#32768", nullptr)) press(menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
        });
        clickOn(lay::kProgramMenuButton);
    }
    EXPECT_EQ(instance->dispatch(vst::effGetProgram), 2);

    std::string title;
    bool ownedByTheHost = false;
    {
        // Up from nothing chosen: the last entry, "Zoom", then "Settings".
        Robot robot([&] {
            if (HWND menu = waitForWindow("#32768", nullptr)) press(menu, {VK_UP, VK_UP, VK_RETURN});
            if (HWND dialog = waitForWindow("#32770", "Settings")) {
                title = testing_support::windowText(dialog);
                ownedByTheHost = GetAncestor(GetWindow(dialog, GW_OWNER), GA_ROOT) == parent;
                Sleep(100);
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        clickOn(lay::kFileMenuButton);
    }
    EXPECT_EQ(title, "Settings");
    EXPECT_TRUE(ownedByTheHost);
    idle(*instance);
    EXPECT_EQ(instance->dispatch(vst::effGetProgram), 2);
    instance->dispatch(vst::effEditClose);
}

// A native control inside the editor's window, as the text fields are: it
// answers the messages it sent its parent when they come back to it.
LRESULT CALLBACK reflectedAnswers(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case 0x2000 + WM_COMMAND: return 0x1234 + HIWORD(w);
    case 0x2000 + WM_CTLCOLOREDIT: return GetWindowLongPtrA(window, GWLP_USERDATA);
    case 0x2000 + WM_CTLCOLORSTATIC: return 0;
    default: return DefWindowProcA(window, message, w, l);
    }
}

TEST_F(WindowsEditorTest, MessagesOfANativeControlGoBackToIt) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    const HWND child = editorWindow(parent);
    static const char* controlClass = registerClass("TamborikTestControl", &reflectedAnswers);
    HWND control = CreateWindowExA(0, controlClass, "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, child,
                                   reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(control, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush));
    HDC dc = GetDC(control);

    const auto controlHandle = reinterpret_cast<LPARAM>(control);
    EXPECT_EQ(SendMessageA(child, WM_COMMAND, MAKEWPARAM(7, EN_CHANGE), controlHandle), 0x1234 + EN_CHANGE);
    EXPECT_EQ(SendMessageA(child, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), controlHandle),
              reinterpret_cast<LRESULT>(brush));
    // A control that leaves its colours alone gets the system's.
    EXPECT_NE(SendMessageA(child, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), controlHandle), 0);
    // A menu command names no control: nothing is reflected.
    EXPECT_EQ(SendMessageA(child, WM_COMMAND, MAKEWPARAM(7, 0), 0), 0);

    ReleaseDC(control, dc);
    instance->dispatch(vst::effEditClose);
    EXPECT_FALSE(IsWindow(control));  // it went with the editor's window
    DeleteObject(brush);
}

TEST_F(WindowsEditorTest, ABadOrVanishedParentAndASecondCloseAreHarmless) {
    EXPECT_EQ(instance->dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(instance->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);  // no such window
    EXPECT_FALSE(classRegistered());
    instance->dispatch(vst::effEditIdle);

    // The host destroys its window first, then closes the editor twice.
    ASSERT_EQ(openIn(*instance, parent), 1);
    DestroyWindow(parent);
    parent = nullptr;
    pump();
    instance->dispatch(vst::effEditIdle);
    EXPECT_EQ(instance->dispatch(vst::effVendorSpecific, vst::fourCharCode('s', 't', 'C', 'A'),
                                 vst::fourCharCode('W', 'h', 'e', 'e'), nullptr, 1.0f),
              0);
    instance->dispatch(vst::effEditClose);
    instance->dispatch(vst::effEditClose);
    EXPECT_FALSE(classRegistered());

    // And it opens again in a new window.
    parent = makeHostWindow();
    ASSERT_EQ(openIn(*instance, parent), 1);
    EXPECT_NE(editorWindow(parent), nullptr);
    instance->dispatch(vst::effEditClose);
}

// Windows (and wine) start COM for every thread that makes windows, so what
// can be seen is that the editor leaves OLE working for a host that uses it.
TEST_F(WindowsEditorTest, AHostsOwnOleKeepsWorkingAfterTheEditorCloses) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_EQ(openIn(*instance, parent), 1);
    EXPECT_NE(GetPropA(editorWindow(parent), "OleDropTargetInterface"), nullptr);
    instance->dispatch(vst::effEditClose);
    ASSERT_EQ(openIn(*instance, parent), 1);
    instance->dispatch(vst::effEditClose);

    struct HostTarget : IDropTarget {
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
            *object = this;
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
        HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
        HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
    } hostTarget;
    EXPECT_EQ(RegisterDragDrop(parent, &hostTarget), S_OK);
    EXPECT_EQ(RevokeDragDrop(parent), S_OK);
    OleUninitialize();
}

TEST(WindowsShortcuts, AShortcutIsReplacedByItsTargetAndABrokenOneStaysAsItIs) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const std::string folder = temporaryFolder();
    const std::string target = folder + "Target.fxb";
    FILE* file = std::fopen(target.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    const std::string shortcut = folder + "To target.lnk";
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&link))));
    link->SetPath(target.c_str());
    IPersistFile* saved = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&saved))));
    std::wstring wide(shortcut.begin(), shortcut.end());
    EXPECT_TRUE(SUCCEEDED(saved->Save(wide.c_str(), TRUE)));
    saved->Release();
    link->Release();

    EXPECT_EQ(native::shortcutTarget(shortcut), target);
    EXPECT_EQ(native::shortcutTarget(target), target);
    const std::string missing = folder + "Missing.lnk";
    EXPECT_EQ(native::shortcutTarget(missing), missing);
    EXPECT_EQ(native::shortcutTarget(""), "");
    DeleteFileA(shortcut.c_str());
    DeleteFileA(target.c_str());
    OleUninitialize();
}

// Keys as a host would deliver them, with the modifiers held as given.
TEST(WindowsKeys, CharactersComeOnceAndCtrlLettersAtTheKeyDown) {
    auto keyFor = [](UINT message, WPARAM key, std::vector<int> held, LPARAM flags = 1) {
        BYTE state[256] = {};
        for (int k : held) state[k] = 0x80;
        SetKeyboardState(state);
        gui::KeyCode code{};
        const bool known = native::toKeyCode(message, key, flags, &code);
        return known ? std::vector<int>{code.character, code.virt, code.modifier} : std::vector<int>{};
    };
    EXPECT_EQ(keyFor(WM_KEYDOWN, 'C', {VK_CONTROL}), (std::vector<int>{'c', 0, gui::kModifierControl}));
    EXPECT_EQ(keyFor(WM_CHAR, 3, {VK_CONTROL}), std::vector<int>{});  // the same key as a control code
    EXPECT_EQ(keyFor(WM_KEYDOWN, 'A', {}), std::vector<int>{});       // its character follows
    EXPECT_EQ(keyFor(WM_CHAR, 'A', {VK_SHIFT}), (std::vector<int>{'A', 0, gui::kModifierShift}));
    // AltGr is Ctrl with Alt: only its character counts.
    EXPECT_EQ(keyFor(WM_KEYDOWN, 'Q', {VK_CONTROL, VK_MENU}), std::vector<int>{});
    EXPECT_EQ(keyFor(WM_CHAR, '@', {VK_CONTROL, VK_MENU}),
              (std::vector<int>{'@', 0, gui::kModifierControl | gui::kModifierAlt}));
    EXPECT_EQ(keyFor(WM_KEYDOWN, VK_SPACE, {}), (std::vector<int>{' ', gui::kKeySpace, 0}));
    EXPECT_EQ(keyFor(WM_CHAR, ' ', {}), std::vector<int>{});
    EXPECT_EQ(keyFor(WM_KEYDOWN, VK_RETURN, {}), (std::vector<int>{0, gui::kKeyReturn, 0}));
    EXPECT_EQ(keyFor(WM_KEYDOWN, VK_RETURN, {}, 1 | (1L << 24)), (std::vector<int>{0, gui::kKeyEnter, 0}));
    EXPECT_EQ(keyFor(WM_KEYDOWN, VK_F5, {}), std::vector<int>{});
    SetKeyboardState(std::vector<BYTE>(256, 0).data());
}

}  // namespace
