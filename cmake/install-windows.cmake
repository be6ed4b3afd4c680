# SPDX-License-Identifier: GPL-3.0-or-later
#
# What `cmake --install` puts into the prefix on Windows: one folder that runs wherever it is
# unzipped or installed, started by double-clicking bingo.exe.
#
#   bingo.exe                     the program
#   Qt6*.dll, lib*.dll            Qt (Network for the local socket that keeps one caller per
#                                 user) and the compiler's runtime
#   platforms/ imageformats/ styles/   the Qt plug-ins the program loads
#   *.wav                         the plain calls and the cues, beside the program: the working
#                                 folder when it is started from Explorer or its "Bingo" shortcut,
#                                 and where a file missing from the working folder is found
#   traditional/*.wav             the traditional calls (numbers only), the working folder of
#                                 the "Bingo (traditional calls)" shortcut
#   cards/index.html              the printable cards page

install(TARGETS bingo RUNTIME DESTINATION .)

install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network RUNTIME DESTINATION .)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsIntegrationPlugin LIBRARY DESTINATION platforms)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QGifPlugin LIBRARY DESTINATION imageformats)
install(IMPORTED_RUNTIME_ARTIFACTS Qt6::QWindowsVistaStylePlugin LIBRARY DESTINATION styles)

# The runtime of the compiler that built Qt and the program.
foreach(_bingo_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_bingo_dll}
                    OUTPUT_VARIABLE _bingo_dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_bingo_dll_path}" OR NOT EXISTS "${_bingo_dll_path}")
        message(FATAL_ERROR "${_bingo_dll} not found beside ${CMAKE_CXX_COMPILER}")
    endif()
    install(FILES "${_bingo_dll_path}" DESTINATION .)
endforeach()
unset(_bingo_dll)
unset(_bingo_dll_path)

if(BINGO_VOICE_PACK_DIR)
    install(CODE "
        file(GLOB _bingo_waves LIST_DIRECTORIES false \"${BINGO_VOICE_PACK_DIR}/*.wav\")
        file(INSTALL \${_bingo_waves} DESTINATION \"\${CMAKE_INSTALL_PREFIX}\")
        file(GLOB _bingo_waves LIST_DIRECTORIES false \"${BINGO_TRADITIONAL_VOICE_DIR}/*.wav\")
        file(INSTALL \${_bingo_waves} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/traditional\")
    ")
endif()

install(DIRECTORY ${BINGO_WEB_DIR}/cards DESTINATION .)
