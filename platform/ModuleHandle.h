// The Windows module this code was linked into: the handle its entry
// function receives when the system loads it, kept for the module's path
// and its resources.
#pragma once

#include <windows.h>

namespace platform {

// The plug-in's own module; in a program that is not a DLL, the program's.
HMODULE moduleHandle();

}  // namespace platform
