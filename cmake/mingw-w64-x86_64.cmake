# Cross build for 64-bit Windows with Debian's MinGW-w64 (the "posix" thread
# model, which std::thread and GoogleTest need). Used by ./test-windows.sh
# and the "mingw" preset:
#   cmake -S . -B build/mingw --toolchain cmake/mingw-w64-x86_64.cmake -DTARVENIX_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVENIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARVENIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVENIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARVENIX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVENIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the compiler's own runtime (libstdc++, libgcc, winpthread) into each
# program, so that a test or a tool runs without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run through Wine on the build machine, for CTest and for
# gtest_discover_tests alike.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(TARVENIX_WINE NAMES wine wine64)
  if(TARVENIX_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVENIX_WINE})
  endif()
endif()
