# Cross-compiling for 32-bit Windows with Debian's mingw-w64 (posix threads,
# for std::thread in the sweep).
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZELVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELVANE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Doubles in SSE2 registers, as on x86_64: without this the x87 unit keeps
# intermediate results in 80 bits and sums and comparisons can differ from
# the 64-bit build. Windows only keeps the stack 4-byte aligned on 32 bits,
# so functions realign it where SSE needs more.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
