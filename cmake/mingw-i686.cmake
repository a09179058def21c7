# Cross-compiling for 32-bit Windows with Debian's mingw-w64.
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZELVANE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles in SSE2 registers, as on x86_64: without this the x87 unit keeps
# intermediate results in 80 bits and sums and comparisons can differ from
# the 64-bit build. Windows only keeps the stack 4-byte aligned on 32 bits,
# so functions realign it where SSE needs more.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
