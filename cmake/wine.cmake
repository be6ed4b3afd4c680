# SPDX-License-Identifier: GPL-3.0-or-later
#
# When the Windows program is built on Linux, the programs the build runs (the cards page
# writer) and the tests run under Wine, through cmake/wine-run.sh, with a Wine prefix of the
# build's own.

find_program(BINGO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(NOT BINGO_WINE)
    message(FATAL_ERROR "Wine not found: install the Debian package wine64")
endif()

# Where Wine finds the DLLs: Qt's, and the compiler's runtime.
get_target_property(_bingo_qtcore Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(_bingo_dll_dirs "${_bingo_qtcore}" DIRECTORY)
foreach(_bingo_dll libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_bingo_dll}
                    OUTPUT_VARIABLE _bingo_dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_bingo_dir "${_bingo_dll_path}" DIRECTORY)
    get_filename_component(_bingo_dir "${_bingo_dir}" REALPATH)
    string(APPEND _bingo_dll_dirs ":${_bingo_dir}")
endforeach()

find_program(BINGO_BASH bash NO_CMAKE_FIND_ROOT_PATH)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${BINGO_BASH} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/wine-run.sh
    ${CMAKE_BINARY_DIR}/wine-prefix "${_bingo_dll_dirs}")
unset(_bingo_qtcore)
unset(_bingo_dll)
unset(_bingo_dll_path)
unset(_bingo_dir)
unset(_bingo_dll_dirs)
