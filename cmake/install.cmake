# SPDX-License-Identifier: GPL-3.0-or-later
#
# What `cmake --install` puts where, under the install prefix:
#
#   bin/bingo                                         the program
#   share/bingo-caller/voice/*.wav                    the voice pack, when one was made
#   share/bingo-caller/web/cards/index.html           the cards page, to publish
#   share/icons/hicolor/{32x32,256x256}/apps/example.bingocaller.Bingo.png
#   share/applications/example.bingocaller.Bingo.desktop
#   share/metainfo/example.bingocaller.Bingo.metainfo.xml   what software centres show
#
# The program plays its wave files by plain name from its working folder, so the desktop
# entry starts it in the voice folder (its Path= key). That path has to name the folder
# where the files finally are, so the entry is written at install time, from the prefix
# that install actually uses (`cmake --install build --prefix /opt/bingo` included); a
# DESTDIR staging folder is left out of it. Its Exec= key names the installed program by
# its full path likewise, since neither /opt/bingo/bin nor Debian's /usr/games (where a
# package puts a game) need be on the desktop session's search path.

include(GNUInstallDirs)

set(BINGO_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/bingo-caller)

install(TARGETS bingo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The voice folder is made even without a voice pack: the desktop entry starts the
# program in it, and the program then sounds the system alert for each missing file.
# The wave files are looked for when installing, since the build makes them.
if(DEFINED BINGO_VOICE_PACK_DIR)
    set(_bingo_voice_source "${BINGO_VOICE_PACK_DIR}")
else()
    set(_bingo_voice_source "${CMAKE_BINARY_DIR}")
endif()
install(DIRECTORY DESTINATION ${BINGO_DATA_DESTINATION}/voice)
if(NOT _bingo_voice_source STREQUAL "")
    install(CODE "
        file(GLOB _bingo_waves LIST_DIRECTORIES false \"${_bingo_voice_source}/*.wav\")
        if(_bingo_waves)
            file(INSTALL \${_bingo_waves}
                 DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${BINGO_DATA_DESTINATION}/voice\")
        endif()
    ")
endif()
unset(_bingo_voice_source)

# The screenshots beside the cards page are for the web site only.
install(DIRECTORY ${BINGO_WEB_DIR}/ DESTINATION ${BINGO_DATA_DESTINATION}/web
        PATTERN screenshots EXCLUDE)

install(FILES assets/icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps
        RENAME ${BINGO_APP_ID}.png)
install(FILES assets/icon-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME ${BINGO_APP_ID}.png)

# It names the screenshots and the home page at the web host the build is made for.
configure_file(assets/${BINGO_APP_ID}.metainfo.xml.in ${BINGO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${BINGO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The entry is written into a folder of the build named for the staging folder and prefix,
# so that installs into different places never write the same file, and removed again.
install(CODE "
    if(IS_ABSOLUTE \"${CMAKE_INSTALL_DATADIR}\")
        set(CMAKE_INSTALL_FULL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    else()
        set(CMAKE_INSTALL_FULL_DATADIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
    endif()
    if(IS_ABSOLUTE \"${CMAKE_INSTALL_BINDIR}\")
        set(CMAKE_INSTALL_FULL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    else()
        set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    endif()
    string(MD5 _bingo_key \"\$ENV{DESTDIR}|\${CMAKE_INSTALL_FULL_DATADIR}|\${CMAKE_INSTALL_FULL_BINDIR}\")
    set(_bingo_entry \"${CMAKE_BINARY_DIR}/desktop-entry/\${_bingo_key}/${BINGO_APP_ID}.desktop\")
    configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/assets/bingo.desktop.in\" \"\${_bingo_entry}\" @ONLY)
    file(INSTALL \"\${_bingo_entry}\"
         DESTINATION \"\${CMAKE_INSTALL_FULL_DATADIR}/applications\")
    file(REMOVE_RECURSE \"${CMAKE_BINARY_DIR}/desktop-entry/\${_bingo_key}\")
")
