// The built module's editor in a real X server (Xvfb), opened in a parent
// window the test makes as a host would, driven with synthetic input (XTest)
// and read back from the server.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "editor/EditorLayout.h"
#include "editor/PluginEditor.h"
#include "host/PluginInstance.h"
#include "host/PluginModule.h"
#include "platform/MemoryRegistry.h"
#include "plugin/DrumSynthEffect.h"
#include "support/VirtualXServer.h"

// Last: Xlib's macros (None, Bool, True) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

namespace lay = editor::layout;
using host::PluginInstance;
using host::PluginModule;

constexpr int kWidth = lay::kWindowWidth;
constexpr int kHeight = lay::kWindowHeight;

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

void pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int openDescriptors() {
    int count = 0;
    if (DIR* folder = opendir("/proc/self/fd")) {
        while (readdir(folder)) ++count;
        closedir(folder);
    }
    return count;
}

int windowsBelow(Display* display, ::Window window) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    int total = static_cast<int>(count);
    for (unsigned int i = 0; i < count; ++i) total += windowsBelow(display, children[i]);
    if (children) XFree(children);
    return total;
}

std::vector<::Window> childrenOf(Display* display, ::Window window) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<::Window> found;
    if (XQueryTree(display, window, &root, &parent, &children, &count))
        found.assign(children, children + count);
    if (children) XFree(children);
    return found;
}

// The window's pixels as 0x00RRGGBB.
std::vector<std::uint32_t> pixelsOf(Display* display, ::Window window, int width, int height) {
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return pixels;
    auto component = [](unsigned long pixel, unsigned long mask) {
        int shift = 0;
        while (mask && !((mask >> shift) & 1)) ++shift;
        const unsigned long top = mask >> shift;
        return top ? static_cast<std::uint32_t>(((pixel & mask) >> shift) * 255 / top) : 0u;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            pixels.push_back(component(p, image->red_mask) << 16 | component(p, image->green_mask) << 8 |
                             component(p, image->blue_mask));
        }
    XDestroyImage(image);
    return pixels;
}

// The same editor drawn into pixels no one shows, in a fresh effect.
std::vector<std::uint32_t> headlessDrawing(float scale = 1.0f) {
    platform::MemoryRegistry registry;
    plugin::DrumSynthEffect effect(&quietHost, registry, "", &editor::createPluginEditor);
    auto* view = static_cast<editor::PluginEditor*>(effect.getEditor());
    view->setScaleFactor(scale);
    int parent = 0;
    if (!view->open(&parent)) return {};
    std::vector<std::uint32_t> pixels = view->rootView()->pixels().pixels();
    view->close();
    return pixels;
}

int errorsSeenByTheHost = 0;
int countHostErrors(Display*, XErrorEvent*) {
    ++errorsSeenByTheHost;
    return 0;
}

class X11EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = server.start();
        ASSERT_FALSE(name.empty()) << "Xvfb could not be started (scripts/bootstrap installs it)";
        setenv("DISPLAY", name.c_str(), 1);
        display = XOpenDisplay(name.c_str());
        ASSERT_NE(display, nullptr);
        previousHandler = XSetErrorHandler(&countHostErrors);
        errorsSeenByTheHost = 0;
        parent = makeParent();
        std::string error;
        module = PluginModule::load(TAMBORIK_MODULE_PATH, &error);
        ASSERT_TRUE(module) << error;
        instance = PluginInstance::create(*module);
        ASSERT_TRUE(instance);
    }
    void TearDown() override {
        instance.reset();
        second.reset();
        module.reset();
        if (display) {
            XSetErrorHandler(previousHandler);
            XCloseDisplay(display);
        }
        unsetenv("DISPLAY");
    }

    ::Window makeParent() {
        const ::Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }
    static void* handle(::Window window) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)); }
    vst::VstIntPtr openIn(PluginInstance& plugin, ::Window window) {
        return plugin.dispatch(vst::effEditOpen, 0, 0, handle(window));
    }
    // Idle calls until the condition holds (or the calls run out, 10 ms apart).
    bool idleUntil(const std::function<bool()>& done, int calls = 200) {
        for (int i = 0; i < calls; ++i) {
            XSync(display, False);
            instance->dispatch(vst::effEditIdle);
            if (done()) return true;
            pause(10);
        }
        return false;
    }
    ::Window editorWindow() {
        const auto children = childrenOf(display, parent);
        return children.size() == 1 ? children[0] : 0;
    }
    // Waits until the window shows the headless drawing.
    bool showsHeadlessDrawing() {
        const auto expected = headlessDrawing();
        if (std::count(expected.begin(), expected.end(), expected.at(0)) == static_cast<long>(expected.size()))
            return false;  // a blank drawing would prove nothing
        return idleUntil([&] { return pixelsOf(display, editorWindow(), kWidth, kHeight) == expected; });
    }

    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, 0);
        XSync(display, False);
    }
    void button(unsigned int which, bool down) {
        XTestFakeButtonEvent(display, which, down, 0);
        XSync(display, False);
    }
    void click(int x, int y) {
        moveTo(x, y);
        button(1, true);
        button(1, false);
    }
    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down, 0);
        XSync(display, False);
    }
    void type(KeySym symbol) {
        key(symbol, true);
        key(symbol, false);
    }
    // Clicks the File menu; the menu runs inside the idle call, so another
    // connection watches it appear and types the keys. False when the menu
    // never showed.
    bool inFileMenu(std::vector<KeySym> keys) {
        const lay::Box at = centreOf(lay::kFileMenuButton);
        const ::Window child = editorWindow();
        click(at.left, at.top);
        std::atomic<bool> shown{false};
        std::thread user([&] {
            Display* hand = XOpenDisplay(server.name().c_str());
            // The menu's panel, light grey below the File button.
            const std::size_t inside = static_cast<std::size_t>(at.top + 20) * kWidth + at.left;
            for (int i = 0; i < 300 && !shown; ++i) {
                pause(10);
                const auto now = pixelsOf(hand, child, kWidth, kHeight);
                if (now.size() > inside && now[inside] == 0xf0f0f0u) shown = true;
            }
            for (KeySym symbol : keys) {
                XTestFakeKeyEvent(hand, XKeysymToKeycode(hand, symbol), True, 0);
                XTestFakeKeyEvent(hand, XKeysymToKeycode(hand, symbol), False, 0);
            }
            XSync(hand, False);
            XCloseDisplay(hand);
        });
        instance->dispatch(vst::effEditIdle);
        user.join();
        return shown;
    }
    // With the button held at (x, y): another connection moves the pointer
    // up by distance in ten steps and lets go while the drag runs inside the
    // idle call, as a user would.
    void dragUp(int x, int y, int distance) {
        std::thread user([&] {
            Display* hand = XOpenDisplay(server.name().c_str());
            pause(50);
            for (int step = 1; step <= 10; ++step) {
                XTestFakeMotionEvent(hand, DefaultScreen(hand), x, y - distance * step / 10, 0);
                XSync(hand, False);
                pause(15);
            }
            XTestFakeButtonEvent(hand, 1, False, 0);
            XSync(hand, False);
            XCloseDisplay(hand);
        });
        instance->dispatch(vst::effEditIdle);
        user.join();
        instance->dispatch(vst::effEditIdle);
    }
    static lay::Box centreOf(const lay::Box& b) {
        return {(b.left + b.right) / 2, (b.top + b.bottom) / 2, 0, 0};
    }

    testing_support::VirtualXServer server;
    Display* display = nullptr;
    XErrorHandler previousHandler = nullptr;
    ::Window parent = 0;
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<PluginInstance> instance;
    std::unique_ptr<PluginInstance> second;
};

TEST_F(X11EditorTest, OpensAChildWindowThatShowsTheEditor) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    XSync(display, False);
    const ::Window child = editorWindow();
    ASSERT_NE(child, 0u);
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, child, &attributes));
    EXPECT_EQ(attributes.width, 623);
    EXPECT_EQ(attributes.height, 540);
    EXPECT_EQ(attributes.map_state, IsViewable);

    const Atom embedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(display, child, embedInfo, 0, 2, False, embedInfo, &type, &format, &items, &after,
                                 &data),
              Success);
    ASSERT_EQ(items, 2u);
    const long* info = reinterpret_cast<const long*>(data);
    EXPECT_EQ(info[0], 0);  // version
    EXPECT_EQ(info[1], 1);  // mapped
    XFree(data);

    EXPECT_TRUE(showsHeadlessDrawing());
    // Covered and uncovered, it paints itself again.
    const ::Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0xff00ff);
    XMapRaised(display, cover);
    XSync(display, False);
    XDestroyWindow(display, cover);
    EXPECT_TRUE(showsHeadlessDrawing());
    instance->dispatch(vst::effEditClose);
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());
}

TEST_F(X11EditorTest, InAParentWithAnAlphaChannelTheEditorIsOpaque) {
    XVisualInfo visual{};
    if (!XMatchVisualInfo(display, DefaultScreen(display), 32, TrueColor, &visual))
        GTEST_SKIP() << "the server has no 32-bit visual";
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, DefaultRootWindow(display), visual.visual, AllocNone);
    const ::Window translucent =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 32, InputOutput, visual.visual,
                      CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(display, translucent);
    XSync(display, False);
    ASSERT_EQ(openIn(*instance, translucent), 1);
    XSync(display, False);
    const auto children = childrenOf(display, translucent);
    ASSERT_EQ(children.size(), 1u);
    const auto expected = headlessDrawing();
    EXPECT_TRUE(idleUntil([&] { return pixelsOf(display, children[0], kWidth, kHeight) == expected; }));
    XImage* image = XGetImage(display, children[0], 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long alpha = 0xffffffffUL & ~(image->red_mask | image->green_mask | image->blue_mask);
    EXPECT_EQ(XGetPixel(image, 10, 10) & alpha, alpha);
    EXPECT_EQ(XGetPixel(image, 300, 300) & alpha, alpha);
    XDestroyImage(image);
    instance->dispatch(vst::effEditClose);
    XDestroyWindow(display, translucent);
    XFreeColormap(display, attributes.colormap);
}

TEST_F(X11EditorTest, ADragUpwardsFollowsThePointerLiveAndAutomatesTheKnob) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    instance->setParameter(3, 0.25f);  // Kick 1 Decay
    ASSERT_TRUE(idleUntil([] { return true; }));
    const int x = lay::columnCentre(0), y = lay::knobRowCentre(4);
    moveTo(x, y);
    button(1, true);
    instance->clearHostCalls();
    dragUp(x, y, 100);
    EXPECT_NEAR(instance->getParameter(3), 0.75f, 1e-5f);  // 100 pixels are half the range

    const auto& calls = instance->hostCalls();
    const auto begin = std::find(calls.begin(), calls.end(), vst::audioMasterBeginEdit);
    const auto automate = std::find(begin, calls.end(), vst::audioMasterAutomate);
    const auto end = std::find(automate, calls.end(), vst::audioMasterEndEdit);
    EXPECT_NE(begin, calls.end());
    EXPECT_NE(automate, calls.end());
    EXPECT_NE(end, calls.end());
    instance->dispatch(vst::effEditClose);
}

// The host's scale sets the window's size before and after it opens; the
// feel follows the picture: 200 pixels of drag at 200 % are half the range.
TEST_F(X11EditorTest, TheHostsScaleSizesTheWindowAndTheDragFollowsTheZoom) {
    const ::Window large = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1300, 1100, 0, 0, 0);
    XMapWindow(display, large);
    XSync(display, False);
    EXPECT_EQ(instance->dispatch(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                                 vst::fourCharCode('A', 'e', 'C', 's'), nullptr, 2.0f),
              1);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(instance->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 2 * lay::kReportedWidth);
    EXPECT_EQ(rect->bottom - rect->top, 2 * kHeight);
    ASSERT_EQ(openIn(*instance, large), 1);
    const auto size = [&] {
        XWindowAttributes attributes{};
        const auto children = childrenOf(display, large);
        if (children.size() != 1 || !XGetWindowAttributes(display, children[0], &attributes)) return std::pair{0, 0};
        return std::pair{attributes.width, attributes.height};
    };
    EXPECT_EQ(size(), (std::pair{1246, 1080}));
    // What the screen shows of it is the headless drawing at 200 %.
    const auto expected = headlessDrawing(2.0f);
    ASSERT_EQ(expected.size(), 1246u * 1080u);
    EXPECT_TRUE(idleUntil([&] {
        const auto shown = pixelsOf(display, childrenOf(display, large).at(0), 1024, 768);
        for (int y = 0; y < 768; ++y)
            if (!std::equal(shown.begin() + y * 1024, shown.begin() + (y + 1) * 1024, expected.begin() + y * 1246))
                return false;
        return true;
    }));

    instance->setParameter(3, 0.25f);  // Kick 1 Decay
    ASSERT_TRUE(idleUntil([] { return true; }));
    const int x = 2 * lay::columnCentre(0), y = 2 * lay::knobRowCentre(4);
    moveTo(x, y);
    button(1, true);
    dragUp(x, y, 200);
    EXPECT_NEAR(instance->getParameter(3), 0.75f, 1e-5f);

    // Harmless factors change nothing; a new one while open resizes at the
    // next idle and asks the host, which here says no.
    for (float odd : {0.0f, -1.0f, NAN, INFINITY, 1000.0f}) {
        instance->dispatch(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                           vst::fourCharCode('A', 'e', 'C', 's'), nullptr, odd);
        instance->dispatch(vst::effEditIdle);
    }
    instance->clearHostCalls();
    instance->dispatch(vst::effVendorSpecific, vst::fourCharCode('P', 'r', 'e', 'S'),
                       vst::fourCharCode('A', 'e', 'C', 's'), nullptr, 1.5f);
    EXPECT_TRUE(idleUntil([&] { return size() == std::pair{935, 810}; }));
    const auto& calls = instance->hostCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), vst::audioMasterSizeWindow), calls.end());
    instance->dispatch(vst::effEditClose);
    XDestroyWindow(display, large);
}

TEST_F(X11EditorTest, TheWheelTurnsAKnobByOneIncrementAndShiftByATenth) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    instance->setParameter(3, 0.5f);
    moveTo(lay::columnCentre(0), lay::knobRowCentre(4));
    button(4, true);
    button(4, false);
    EXPECT_TRUE(idleUntil([&] { return std::fabs(instance->getParameter(3) - 0.6f) < 1e-6f; }));
    key(XK_Shift_L, true);
    button(5, true);
    button(5, false);
    key(XK_Shift_L, false);
    EXPECT_TRUE(idleUntil([&] { return std::fabs(instance->getParameter(3) - 0.59f) < 1e-6f; }));
    instance->dispatch(vst::effEditClose);
}

TEST_F(X11EditorTest, AClickOpensTheFileMenuAndEscapeClosesIt) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_TRUE(showsHeadlessDrawing());
    const auto before = pixelsOf(display, editorWindow(), kWidth, kHeight);
    EXPECT_TRUE(inFileMenu({XK_Escape}));
    EXPECT_TRUE(idleUntil([&] { return pixelsOf(display, editorWindow(), kWidth, kHeight) == before; }));
    instance->dispatch(vst::effEditClose);
}

TEST_F(X11EditorTest, TheFileMenuRunsTheFileSelectorAndTheSettingsPanel) {
    // A stand-in zenity first in PATH answers with a file name.
    const std::string folder = "/tmp/tamborik-window-test-" + std::to_string(getpid());
    const std::string saved = folder + "/Saved.fxp";
    ASSERT_EQ(std::system(("mkdir -p " + folder + " && printf '#!/bin/sh\\necho " + saved + "\\n' > " + folder +
                           "/zenity && chmod +x " + folder + "/zenity")
                              .c_str()),
              0);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (folder + ":" + path).c_str(), 1);

    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_TRUE(showsHeadlessDrawing());
    const auto before = pixelsOf(display, editorWindow(), kWidth, kHeight);
    // The menu opens over the button: the pointer rests on the first entry.
    EXPECT_TRUE(inFileMenu({XK_Down, XK_Down, XK_Return}));  // Save Program
    setenv("PATH", path.c_str(), 1);
    FILE* file = std::fopen(saved.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 0, SEEK_END);
    EXPECT_GT(std::ftell(file), 56);  // a header and 88 parameters
    std::fclose(file);
    std::system(("rm -rf " + folder).c_str());

    // Settings: a panel inside the window that holds the mouse and the
    // wheel until Escape closes it.
    EXPECT_TRUE(inFileMenu({XK_Up, XK_Up, XK_Return}));  // up from the first: Zoom, then Settings
    EXPECT_TRUE(idleUntil([&] { return pixelsOf(display, editorWindow(), kWidth, kHeight) != before; }));
    instance->setParameter(3, 0.5f);
    moveTo(lay::columnCentre(0), lay::knobRowCentre(4));
    button(4, true);
    button(4, false);
    idleUntil([] { return false; }, 20);
    EXPECT_FLOAT_EQ(instance->getParameter(3), 0.5f);
    type(XK_Escape);
    button(4, true);
    button(4, false);
    EXPECT_TRUE(idleUntil([&] { return std::fabs(instance->getParameter(3) - 0.6f) < 1e-6f; }));
}

TEST_F(X11EditorTest, TypingIntoAChannelFieldSetsTheChannel) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_TRUE(idleUntil([] { return true; }));
    const lay::Box at = centreOf(lay::channelFieldBox(0));  // Kick 1
    click(at.left, at.top);
    ASSERT_TRUE(idleUntil([] { return true; }));
    for (KeySym symbol : {XK_1, XK_7, XK_Return}) type(symbol);
    EXPECT_TRUE(idleUntil([&] { return instance->getParameter(0) == 1.0f; }));
    instance->dispatch(vst::effEditClose);
}

TEST_F(X11EditorTest, CtrlCAndCtrlVCopyAProgramFromOneWindowToAnother) {
    second = PluginInstance::create(*module);
    ASSERT_TRUE(second);
    const ::Window other = XCreateSimpleWindow(display, DefaultRootWindow(display), kWidth + 10, 0, kWidth, kHeight, 0,
                                               0, 0);
    XMapWindow(display, other);
    XSync(display, False);
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_EQ(openIn(*second, other), 1);
    instance->setParameter(3, 0.3f);
    const auto pressWith = [&](KeySym symbol) {
        key(XK_Control_L, true);
        type(symbol);
        key(XK_Control_L, false);
    };
    moveTo(100, 300);  // keys go to the window under the pointer
    pressWith(XK_c);
    ASSERT_TRUE(idleUntil([] { return true; }));
    moveTo(kWidth + 110, 300);
    pressWith(XK_v);
    for (int i = 0; i < 200 && std::fabs(second->getParameter(3) - 0.3f) > 1e-6f; ++i) {
        XSync(display, False);
        second->dispatch(vst::effEditIdle);
        pause(10);
    }
    EXPECT_FLOAT_EQ(second->getParameter(3), 0.3f);
    instance->dispatch(vst::effEditClose);
    second->dispatch(vst::effEditClose);
}

TEST_F(X11EditorTest, OpensAndClosesManyTimesAndSideBySideWithoutLeaks) {
    // The first open loads what stays for the process (fonts, pictures).
    ASSERT_EQ(openIn(*instance, parent), 1);
    instance->dispatch(vst::effEditClose);
    XSync(display, False);
    const int windows = windowsBelow(display, DefaultRootWindow(display));
    const int descriptors = openDescriptors();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(openIn(*instance, parent), 1);
        instance->dispatch(vst::effEditIdle);
        instance->dispatch(vst::effEditClose);
    }
    XSync(display, False);
    EXPECT_EQ(windowsBelow(display, DefaultRootWindow(display)), windows);
    EXPECT_EQ(openDescriptors(), descriptors);

    second = PluginInstance::create(*module);
    ASSERT_TRUE(second);
    const ::Window other = makeParent();
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_EQ(openIn(*second, other), 1);
    XSync(display, False);
    EXPECT_EQ(childrenOf(display, parent).size(), 1u);
    EXPECT_EQ(childrenOf(display, other).size(), 1u);
    EXPECT_EQ(openDescriptors(), descriptors + 2);  // a connection each
    instance->dispatch(vst::effEditIdle);
    second->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditClose);
    second->dispatch(vst::effEditClose);
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());
    EXPECT_TRUE(childrenOf(display, other).empty());
    EXPECT_EQ(openDescriptors(), descriptors);
    EXPECT_EQ(errorsSeenByTheHost, 0);
}

TEST_F(X11EditorTest, SurvivesTheHostDestroyingTheParentFirst) {
    ASSERT_EQ(openIn(*instance, parent), 1);
    XDestroyWindow(display, parent);
    XSync(display, False);
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditClose);  // destroys a window that is gone

    ASSERT_EQ(openIn(*instance, parent), 0);  // the old parent is no window any more
    parent = makeParent();
    ASSERT_EQ(openIn(*instance, parent), 1);
    XDestroyWindow(display, parent);  // gone with no idle call in between
    instance->dispatch(vst::effEditClose);
    parent = makeParent();
    ASSERT_EQ(openIn(*instance, parent), 1);
    EXPECT_TRUE(showsHeadlessDrawing());
    instance->dispatch(vst::effEditClose);
    XDestroyWindow(display, parent);  // and after the close
    XSync(display, False);

    // The editor's errors stayed on its own connection; the host's own still
    // reach the host's handler.
    EXPECT_EQ(errorsSeenByTheHost, 0);
    XMapWindow(display, 0x7fff0001);
    XSync(display, False);
    EXPECT_EQ(errorsSeenByTheHost, 1);
}

TEST_F(X11EditorTest, AParentDestroyedDuringADragOrAMenuEndsThem) {
    const auto destroyLater = [&](::Window window, int milliseconds) {
        return std::thread([this, window, milliseconds] {
            Display* host = XOpenDisplay(server.name().c_str());
            pause(milliseconds);
            XDestroyWindow(host, window);
            XSync(host, False);
            XCloseDisplay(host);
        });
    };
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_TRUE(idleUntil([] { return true; }));
    moveTo(lay::columnCentre(0), lay::knobRowCentre(4));
    button(1, true);  // held: only the window's end can end the drag
    std::thread host = destroyLater(parent, 100);
    instance->dispatch(vst::effEditIdle);
    host.join();
    button(1, false);
    instance->dispatch(vst::effEditClose);

    parent = makeParent();
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_TRUE(idleUntil([] { return true; }));
    const lay::Box at = centreOf(lay::kFileMenuButton);
    click(at.left, at.top);
    host = destroyLater(parent, 300);
    instance->dispatch(vst::effEditIdle);  // the menu ends with its window
    host.join();
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditClose);
    EXPECT_EQ(errorsSeenByTheHost, 0);
}

TEST_F(X11EditorTest, RefusesBadRequestsQuietly) {
    EXPECT_EQ(openIn(*instance, 0), 0);
    EXPECT_EQ(openIn(*instance, 0x7fff0001), 0);  // no such window
    // Closed: idle, keys and close do nothing.
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditKeyDown, 'a', 0, nullptr, 0.0f);
    instance->dispatch(vst::effEditKeyUp, 'a', 0, nullptr, 0.0f);
    instance->dispatch(vst::effEditClose);
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());

    // A second open while open keeps one window.
    ASSERT_EQ(openIn(*instance, parent), 1);
    ASSERT_EQ(openIn(*instance, parent), 1);
    XSync(display, False);
    EXPECT_EQ(childrenOf(display, parent).size(), 1u);
    EXPECT_TRUE(showsHeadlessDrawing());
    instance->dispatch(vst::effEditClose);
    XSync(display, False);
    EXPECT_TRUE(childrenOf(display, parent).empty());
    EXPECT_EQ(errorsSeenByTheHost, 0);
}

TEST_F(X11EditorTest, WithoutAnXServerTheEditorStaysClosedAndThePluginPlays) {
    unsetenv("DISPLAY");
    EXPECT_EQ(openIn(*instance, parent), 0);
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditClose);

    setenv("DISPLAY", server.name().c_str(), 1);
    ASSERT_EQ(openIn(*instance, parent), 1);
    XSetIOErrorExitHandler(display, [](Display*, void*) {}, nullptr);
    XSetErrorHandler(previousHandler);
    display = nullptr;  // dies with its server; left as it is
    server.stop();      // the server goes away while the editor is open
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditIdle);
    instance->dispatch(vst::effEditClose);

    instance->start();
    std::vector<float> left(512), right(512);
    float* outputs[2] = {left.data(), right.data()};
    instance->sendMidi({PluginInstance::midiEvent(0, 0x90, 36, 127)});
    instance->processReplacing(outputs, 512);
    float peak = 0.0f;
    for (float s : left) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 1e-3f);
}

}  // namespace
