#include "native/X11ErrorRouting.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace native {
namespace {

// The connections followed and the handlers ours replaced.
struct ErrorRouting {
    std::mutex lock;
    std::vector<X11ErrorRecord*> records;
    XErrorHandler previous = nullptr;
    XIOErrorHandler previousIo = nullptr;
    bool installed = false;
    bool ioInstalled = false;
};

ErrorRouting& routing() {
    static ErrorRouting instance;
    return instance;
}

X11ErrorRecord* ours(ErrorRouting& r, Display* display) {
    for (X11ErrorRecord* record : r.records)
        if (record->display == display) return record;
    return nullptr;
}

int routeError(Display* display, XErrorEvent* error) {
    ErrorRouting& r = routing();
    XErrorHandler previous;
    {
        std::lock_guard<std::mutex> guard(r.lock);
        if (X11ErrorRecord* record = ours(r, display)) {
            ++record->errors;
            return 0;
        }
        previous = r.previous;
    }
    return previous ? previous(display, error) : 0;
}

// A lost server: ours is marked and the editor goes quiet; Xlib then calls
// the connection's exit handler, which returns instead of ending the host.
int routeIoError(Display* display) {
    ErrorRouting& r = routing();
    XIOErrorHandler previous;
    {
        std::lock_guard<std::mutex> guard(r.lock);
        if (X11ErrorRecord* record = ours(r, display)) {
            record->lost = true;
            return 0;
        }
        previous = r.previousIo;
    }
    return previous ? previous(display) : 0;
}

// Without this Xlib ends the whole process when the server goes away.
void connectionLost(Display*, void* data) {
    static_cast<X11ErrorRecord*>(data)->lost = true;
}

// Gives the previous handler back, unless someone has put theirs over ours
// since: theirs may hand errors on to ours, so ours stays.
template <typename Handler>
void giveBack(Handler (*set)(Handler), Handler handler, Handler& previous, bool& installed) {
    if (!installed) return;
    const Handler current = set(previous);
    if (current == handler) {
        installed = false;
        previous = nullptr;
    } else {
        set(current);
    }
}

}  // namespace

void followErrors(X11ErrorRecord* record) {
    ErrorRouting& r = routing();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.push_back(record);
    XSetIOErrorExitHandler(record->display, &connectionLost, record);
    if (!r.installed) {
        r.previous = XSetErrorHandler(&routeError);
        r.installed = true;
    }
    if (!r.ioInstalled) {
        r.previousIo = XSetIOErrorHandler(&routeIoError);
        r.ioInstalled = true;
    }
}

void stopFollowingErrors(X11ErrorRecord* record) {
    ErrorRouting& r = routing();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.erase(std::remove(r.records.begin(), r.records.end(), record), r.records.end());
    if (!r.records.empty()) return;
    giveBack(&XSetErrorHandler, &routeError, r.previous, r.installed);
    giveBack(&XSetIOErrorHandler, &routeIoError, r.previousIo, r.ioInstalled);
}

}  // namespace native
