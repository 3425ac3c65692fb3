#include "native/X11Window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "gui/GuiEditorBase.h"
#include "gui/RootView.h"
#include "native/X11ErrorRouting.h"
#include "native/X11Keys.h"

namespace native {

// Each window has a display connection of its own: it lives exactly as long
// as the window, so closing the editor frees everything it had on the
// server; it is never shared with the host's toolkit or another instance's
// thread; and an error on it is known to be ours.
struct X11Window::Connection {
    X11ErrorRecord link;  // the display and what went wrong on it
    ::Window window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    bool directCopy = false;  // the image's pixels are laid out as ours
    Visual* visual = nullptr;  // the parent's, which the window shares
    int depth = 0;
    std::vector<std::uint32_t> sent;  // what the server was last given
    bool destroyed = false;  // the window went with its parent
    int pointer = 0;         // gui::MouseButton bits as of the events read
    gui::Point where{};

    bool usable() const { return link.display && !destroyed && !link.lost; }
};

namespace {

using Connection = X11Window::Connection;

constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | ButtonMotionMask;
constexpr long kOtherEvents = ExposureMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
constexpr int kMaxEventsPerIdle = 512;

void closeConnection(Connection& c) {
    if (!c.link.display) return;
    if (c.image) XDestroyImage(c.image);  // frees the pixels too
    c.image = nullptr;
    // Freeing the graphics context also frees its memory on our side; on a
    // lost connection Xlib sends nothing more.
    if (c.gc) XFreeGC(c.link.display, c.gc);
    c.gc = nullptr;
    if (!c.link.lost && c.window && !c.destroyed) XDestroyWindow(c.link.display, c.window);
    XCloseDisplay(c.link.display);  // reports what is still pending while ours
    stopFollowingErrors(&c.link);
    c.link.display = nullptr;
}

// Follows the pointer through one event; false for events that are not the
// three buttons or motion (the wheel).
bool followPointer(Connection& c, const XEvent& e) {
    switch (e.type) {
    case MotionNotify:
        c.pointer = pointerBits(e.xmotion.state);
        c.where = {e.xmotion.x, e.xmotion.y};
        return true;
    case ButtonPress:
    case ButtonRelease: {
        const int bit = buttonBit(e.xbutton.button);
        if (!bit) return false;
        const int before = pointerBits(e.xbutton.state);
        c.pointer = e.type == ButtonPress ? before | bit : before & ~bit;
        c.where = {e.xbutton.x, e.xbutton.y};
        return true;
    }
    default: return false;
    }
}

// Writes the area of our pixels into the image in the server's layout.
void convert(const gui::PixelBuffer& pixels, const gui::Rect& area, XImage& image, bool direct) {
    const std::vector<std::uint32_t>& source = pixels.pixels();
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* row = source.data() + static_cast<std::size_t>(y) * pixels.width();
        if (direct) {
            // A 32-bit visual has an alpha channel: the editor is opaque.
            const std::uint32_t opaque = image.depth == 32 ? 0xff000000u : 0u;
            auto* target = reinterpret_cast<std::uint32_t*>(image.data + static_cast<std::size_t>(y) * image.bytes_per_line);
            for (int x = area.left; x < area.right; ++x) target[x] = row[x] | opaque;
            continue;
        }
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t p = row[x];
            auto scaled = [](std::uint32_t component, unsigned long mask) {
                if (!mask) return 0ul;
                int shift = 0;
                while (!((mask >> shift) & 1)) ++shift;
                const unsigned long top = mask >> shift;
                return ((component * top + 127) / 255) << shift;
            };
            const unsigned long colours = image.red_mask | image.green_mask | image.blue_mask;
            const unsigned long alpha = image.depth == 32 ? 0xffffffffUL & ~colours : 0;
            XPutPixel(&image, x, y,
                      scaled((p >> 16) & 0xff, image.red_mask) | scaled((p >> 8) & 0xff, image.green_mask) |
                          scaled(p & 0xff, image.blue_mask) | alpha);
        }
    }
}

}  // namespace

std::unique_ptr<X11Window> X11Window::create(unsigned long parent, int width, int height) {
    if (!parent || width <= 0 || height <= 0) return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    auto c = std::make_unique<Connection>();
    c->link.display = display;
    followErrors(&c->link);

    XWindowAttributes parentAttributes{};
    if (!XGetWindowAttributes(display, parent, &parentAttributes) || c->link.errors ||
        parentAttributes.c_class != InputOutput) {
        closeConnection(*c);
        return nullptr;
    }
    XSetWindowAttributes attributes{};
    attributes.event_mask = kPointerEvents | kOtherEvents;
    attributes.background_pixmap = None;
    c->window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                              CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
    // Marks the window for hosts that embed the XEmbed way: version 0, mapped.
    const Atom embedInfo = XInternAtom(display, "_XEMBED_INFO", False);
    const long info[2] = {0, 1};
    XChangeProperty(display, c->window, embedInfo, embedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    c->gc = XCreateGC(display, c->window, 0, nullptr);
    XMapWindow(display, c->window);
    XSync(display, False);
    if (c->link.errors) {
        closeConnection(*c);
        return nullptr;
    }

    c->visual = parentAttributes.visual;
    c->depth = parentAttributes.depth;
    if (!makeImage(*c, width, height)) {
        closeConnection(*c);
        return nullptr;
    }
    return std::unique_ptr<X11Window>(new X11Window(std::move(c)));
}

// The image the window's pixels travel in, width x height.
bool X11Window::makeImage(Connection& c, int width, int height) {
    if (c.image) XDestroyImage(c.image);
    c.image = XCreateImage(c.link.display, c.visual, static_cast<unsigned>(c.depth), ZPixmap, 0, nullptr,
                           static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!c.image) return false;
    c.image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(c.image->bytes_per_line),
                                                   static_cast<std::size_t>(height)));
    const std::uint32_t probe = 1;
    const bool littleEndian = *reinterpret_cast<const unsigned char*>(&probe) == 1;
    c.directCopy = c.image->bits_per_pixel == 32 && c.image->byte_order == (littleEndian ? LSBFirst : MSBFirst) &&
                   c.image->red_mask == 0xff0000 && c.image->green_mask == 0xff00 && c.image->blue_mask == 0xff;
    // No pixel of ours has this value: the first picture goes out whole.
    c.sent.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xffffffffu);
    return c.image->data != nullptr;
}

bool X11Window::resize(int width, int height) {
    Connection& c = *x_;
    if (!c.usable() || width <= 0 || height <= 0) return false;
    shown_ = nullptr;  // the views are drawn again at the new size
    XResizeWindow(c.link.display, c.window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!makeImage(c, width, height)) {
        if (c.image) XDestroyImage(c.image);
        c.image = nullptr;
        c.destroyed = true;  // nothing can be shown: the window acts as gone
        return false;
    }
    XFlush(c.link.display);
    return true;
}

X11Window::X11Window(std::unique_ptr<Connection> connection) : x_(std::move(connection)) {}

X11Window::~X11Window() {
    closeConnection(*x_);
}

unsigned long X11Window::windowId() const {
    return x_->window;
}

gui::Point X11Window::screenPosition() {
    if (!x_->usable()) return {};
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(x_->link.display, x_->window, DefaultRootWindow(x_->link.display), 0, 0, &x, &y, &child))
        return {};
    return {x, y};
}

void X11Window::present(const gui::PixelBuffer& pixels, const gui::Rect& area) {
    send(pixels, area, false);
}

// The toolkit shows the whole window whenever a control changes; only the
// pixels that differ from what the server already has travel.
void X11Window::send(const gui::PixelBuffer& pixels, const gui::Rect& area, bool exposed) {
    shown_ = &pixels;
    Connection& c = *x_;
    if (!c.usable()) return;
    gui::Rect r{std::max(area.left, 0), std::max(area.top, 0), std::min({area.right, pixels.width(), c.image->width}),
                std::min({area.bottom, pixels.height(), c.image->height})};
    if (r.width() <= 0 || r.height() <= 0) return;
    const std::vector<std::uint32_t>& source = pixels.pixels();
    const bool tracked = pixels.width() == c.image->width && pixels.height() == c.image->height;
    const auto rowDiffers = [&](int y) {
        const std::size_t from = static_cast<std::size_t>(y) * c.image->width;
        return !std::equal(source.begin() + static_cast<long>(from + r.left),
                           source.begin() + static_cast<long>(from + r.right),
                           c.sent.begin() + static_cast<long>(from + r.left));
    };
    if (tracked && !exposed) {
        while (r.top < r.bottom && !rowDiffers(r.top)) ++r.top;
        while (r.bottom > r.top && !rowDiffers(r.bottom - 1)) --r.bottom;
        if (r.top >= r.bottom) return;
        int left = r.right, right = r.left;
        for (int y = r.top; y < r.bottom; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * c.image->width;
            for (int x = r.left; x < left; ++x)
                if (source[row + x] != c.sent[row + x]) {
                    left = x;
                    break;
                }
            for (int x = r.right - 1; x >= right; --x)
                if (source[row + x] != c.sent[row + x]) {
                    right = x + 1;
                    break;
                }
        }
        r.left = left;
        r.right = right;
    }
    for (int y = r.top; tracked && y < r.bottom; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * c.image->width;
        std::copy(source.begin() + static_cast<long>(row + r.left), source.begin() + static_cast<long>(row + r.right),
                  c.sent.begin() + static_cast<long>(row + r.left));
    }
    convert(pixels, r, *c.image, c.directCopy);
    XPutImage(c.link.display, c.window, c.gc, c.image, r.left, r.top, r.left, r.top, static_cast<unsigned>(r.width()),
              static_cast<unsigned>(r.height()));
    XFlush(c.link.display);
}

void X11Window::repaint(const gui::Rect& area) {
    if (!x_->image) return;
    if (shown_) send(*shown_, area, true);
}

void X11Window::handleEvents(gui::GuiEditorBase& editor) {
    gui::RootView* root = editor.rootView();
    if (!root) return;
    shown_ = &root->pixels();
    // Idle work run by a control that is tracking the mouse: only paint.
    if (dispatching_) {
        pumpPaint();
        return;
    }
    dispatching_ = true;
    Connection& c = *x_;
    for (int handled = 0; handled < kMaxEventsPerIdle && c.usable() && XPending(c.link.display) > 0; ++handled) {
        XEvent e;
        XNextEvent(c.link.display, &e);
        if (e.xany.window != c.window) continue;
        switch (e.type) {
        case Expose:
            repaint({e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height});
            break;
        case ButtonPress:
            if (e.xbutton.button == Button4 || e.xbutton.button == Button5) {
                c.pointer = pointerBits(e.xbutton.state);  // Shift turns in fine steps
                root->wheelAt({e.xbutton.x, e.xbutton.y}, e.xbutton.button == Button4 ? 1.0f : -1.0f);
            } else if (followPointer(c, e)) {
                XSetInputFocus(c.link.display, c.window, RevertToParent, CurrentTime);
                gui::Surface surface = root->surface();
                root->mouse(surface, c.where);
            }
            break;
        case ButtonRelease:
        case MotionNotify: followPointer(c, e); break;
        case KeyPress:
        case KeyRelease: {
            gui::KeyCode key;
            if (!toKeyCode(e.xkey, &key)) break;
            if (e.type == KeyPress) editor.onKeyDown(key);
            else editor.onKeyUp(key);
            break;
        }
        case DestroyNotify: c.destroyed = true; break;
        default: break;
        }
    }
    keys_.clear();  // keys typed during a drag belong to no one
    dispatching_ = false;
}

void X11Window::takeNonPointerEvents(bool keepKeys) {
    Connection& c = *x_;
    XEvent e;
    while (c.usable() && XCheckWindowEvent(c.link.display, c.window, kOtherEvents, &e)) {
        switch (e.type) {
        case Expose:
            repaint({e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width, e.xexpose.y + e.xexpose.height});
            break;
        case KeyPress: {
            gui::KeyCode key;
            if (keepKeys && toKeyCode(e.xkey, &key)) keys_.push_back(key);
            break;
        }
        case DestroyNotify: c.destroyed = true; break;
        default: break;
        }
    }
}

int X11Window::buttons() {
    return x_->usable() ? x_->pointer : 0;
}

// The pointer as of the events read so far: the motion queued, up to and
// including the next button change, so a quick click is seen pressed first
// and released after. With nothing queued, the server says where it is.
gui::Point X11Window::location() {
    Connection& c = *x_;
    if (!c.usable()) return c.where;
    bool followed = false;
    XEvent e;
    while (XCheckWindowEvent(c.link.display, c.window, kPointerEvents, &e)) {
        if (!followPointer(c, e)) continue;
        followed = true;
        if (e.type != MotionNotify) break;
    }
    if (followed) return c.where;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (XQueryPointer(c.link.display, c.window, &root, &child, &rootX, &rootY, &x, &y, &mask) && !c.link.lost) {
        c.where = {x, y};
        c.pointer = pointerBits(mask);
        // Events that arrived with the answer are older than it.
        while (XCheckWindowEvent(c.link.display, c.window, kPointerEvents, &e)) {
        }
    } else {
        c.pointer = 0;  // the window is gone or the pointer left its screen
    }
    return c.where;
}

// Asks the server only: the queued events stay for handleEvents.
bool X11Window::hoverLocation(gui::Point* where) {
    Connection& c = *x_;
    if (!c.usable() || !c.image) return false;
    ::Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(c.link.display, c.window, &root, &child, &rootX, &rootY, &x, &y, &mask) || c.link.lost)
        return false;
    if (pointerBits(mask) & (gui::kPrimaryButton | gui::kMiddleButton | gui::kSecondaryButton)) return false;
    if (x < 0 || y < 0 || x >= c.image->width || y >= c.image->height) return false;
    *where = {x, y};
    return true;
}

long long X11Window::ticks() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void X11Window::sleep(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

bool X11Window::nextKey(gui::KeyCode* key) {
    if (keys_.empty()) takeNonPointerEvents(true);
    if (keys_.empty()) return false;
    *key = keys_.front();
    keys_.pop_front();
    return true;
}

void X11Window::pumpPaint() {
    takeNonPointerEvents(true);
}

bool X11Window::modalLoopAlive() {
    return x_->usable();
}

std::unique_ptr<gui::WindowPort> createX11Window(void* parent, int width, int height) {
    return X11Window::create(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent)), width, height);
}

}  // namespace native
