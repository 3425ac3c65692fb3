// Keeps the X errors of the editor's own display connections from the host.
// Xlib has one error handler and one I/O error handler for the whole
// process: ours take the errors of the connections followed here and hand
// every other to the handlers they replaced.
#pragma once

#include <X11/Xlib.h>

namespace native {

// What the handlers record for one connection.
struct X11ErrorRecord {
    Display* display = nullptr;
    int errors = 0;     // requests the server refused
    bool lost = false;  // the server went away (the host goes on)
};

// From right after XOpenDisplay, before any request.
void followErrors(X11ErrorRecord* record);
// After XCloseDisplay, which reports what was still pending.
void stopFollowingErrors(X11ErrorRecord* record);

}  // namespace native
