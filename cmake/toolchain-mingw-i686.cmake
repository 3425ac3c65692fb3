# Cross-compiles the Windows module for 32-bit x86 hosts with Debian's mingw-w64.
set(TAMBORIK_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
