# Cross-compiles the Windows module for 64-bit x86_64 hosts with Debian's mingw-w64.
set(TAMBORIK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
