# Cross-building the non-UI libraries and their tests for 64-bit Windows with
# Debian's mingw-w64 compilers (posix threads model, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# GoogleTest's own project asks for a C compiler too.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Static runtime: the test programs then run under Wine without DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# CTest runs each test program through it; scripts/test-windows gives it a
# prefix of its own.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
