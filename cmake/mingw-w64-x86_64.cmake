# SPDX-License-Identifier: GPL-3.0-or-later
#
# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix-threads flavour, which
# std::thread and Qt need). Used both to build Qt for Windows and to build the caller.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BINGO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BINGO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BINGO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BINGO_MINGW_TRIPLET}-windres)

# Libraries and headers only from the Windows side; programs run at build time are the host's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${BINGO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
