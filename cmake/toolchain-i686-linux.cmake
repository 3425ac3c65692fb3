# Cross-compiles for 32-bit x86 Linux with Debian's g++-i686-linux-gnu, with
# the arithmetic of the 32-bit Windows module, linked statically so that
# qemu-i386-static runs the programs on a 64-bit machine (the i686 check in
# tests/golden).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
