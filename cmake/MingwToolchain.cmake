# The settings both Windows toolchain files share; they set
# TAMBORIK_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first.
set(CMAKE_SYSTEM_NAME Windows)
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
