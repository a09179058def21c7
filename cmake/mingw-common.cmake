# What both mingw-w64 toolchain files share: Debian's posix-threads
# compilers (std::thread in the sweep) for ZELVANE_MINGW_TRIPLE, and
# libraries and headers from that target's root only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZELVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELVANE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
