# SPDX-License-Identifier: GPL-3.0-or-later
#
# The screenshots that software centres show, from the caller's description
# assets/example.bingocaller.Bingo.metainfo.xml.in, are the pictures in docs/. The build copies
# them into web/screenshots/, so that publishing the build's web/ folder at the web root of
# Maker::kWebDomain puts them at the addresses the description gives. They are published,
# not installed.

file(GLOB _bingo_screenshots CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/*.png)
set(_bingo_published "")
foreach(_bingo_picture IN LISTS _bingo_screenshots)
    get_filename_component(_bingo_name ${_bingo_picture} NAME)
    add_custom_command(
        OUTPUT ${BINGO_WEB_DIR}/screenshots/${_bingo_name}
        COMMAND ${CMAKE_COMMAND} -E copy ${_bingo_picture} ${BINGO_WEB_DIR}/screenshots/${_bingo_name}
        DEPENDS ${_bingo_picture}
        VERBATIM)
    list(APPEND _bingo_published ${BINGO_WEB_DIR}/screenshots/${_bingo_name})
endforeach()
add_custom_target(screenshots ALL DEPENDS ${_bingo_published})
unset(_bingo_screenshots)
unset(_bingo_published)
unset(_bingo_picture)
unset(_bingo_name)
