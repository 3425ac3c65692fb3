# Cross-compiles the Windows x86_64 module with Debian's mingw-w64 toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(TAMBORIK_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX thread model: its C++ runtime has std::mutex, which the test
# framework needs; it is linked in statically like the rest.
set(CMAKE_C_COMPILER ${TAMBORIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMBORIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMBORIK_MINGW_TRIPLE}-windres)
set(CMAKE_OBJDUMP ${TAMBORIK_MINGW_TRIPLE}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${TAMBORIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
