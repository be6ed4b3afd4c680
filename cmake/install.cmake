# SPDX-License-Identifier: GPL-3.0-or-later
#
# What `cmake --install` puts where, under the install prefix:
#
#   bin/bingo                                         the program
#   share/bingo-caller/voice/plain/*.wav              the plain calls and the cues, when made
#   share/bingo-caller/voice/traditional/*.wav        the traditional calls (numbers only)
#   share/bingo-caller/web/cards/index.html           the cards page, to publish
#   share/icons/hicolor/{32x32,256x256}/apps/example.bingocaller.Bingo.png
#   share/applications/example.bingocaller.Bingo.desktop               "Bingo"
#   share/applications/example.bingocaller.Bingo.Traditional.desktop   "Bingo (traditional calls)"
#   share/metainfo/example.bingocaller.Bingo.metainfo.xml   what software centres show
#
# The program plays its wave files by plain name from its working folder, so each desktop
# entry starts it in the folder of its voice (its Path= key); a file missing there, such as a
# cue in the traditional folder, is then found in the plain one. That path has to name the folder
# where the files finally are, so the entry is written at install time, from the prefix
# that install actually uses (`cmake --install build --prefix /opt/bingo` included); a
# DESTDIR staging folder is left out of it. Its Exec= key names the installed program by
# its full path likewise, since neither /opt/bingo/bin nor Debian's /usr/games (where a
# package puts a game) need be on the desktop session's search path.

include(GNUInstallDirs)

set(BINGO_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/bingo-caller)

install(TARGETS bingo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The voice folders are made even without the packs: the desktop entries start the program in
# them, and the program then sounds the system alert for each missing file. The wave files are
# looked for when installing, since the build makes them.
foreach(_bingo_voice plain traditional)
    install(DIRECTORY DESTINATION ${BINGO_DATA_DESTINATION}/voice/${_bingo_voice})
endforeach()
if(BINGO_VOICE_PACK_DIR)
    install(CODE "
        foreach(_bingo_voice \"plain;${BINGO_VOICE_PACK_DIR}\" \"traditional;${BINGO_TRADITIONAL_VOICE_DIR}\")
            list(GET _bingo_voice 1 _bingo_from)
            list(GET _bingo_voice 0 _bingo_voice)
            file(GLOB _bingo_waves LIST_DIRECTORIES false \"\${_bingo_from}/*.wav\")
            if(_bingo_waves)
                file(INSTALL \${_bingo_waves}
                     DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${BINGO_DATA_DESTINATION}/voice/\${_bingo_voice}\")
            endif()
        endforeach()
    ")
endif()
unset(_bingo_voice)

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
    # Each entry from its template: bingo.desktop.in, bingo.Traditional.desktop.in.
    foreach(_bingo_id ${BINGO_APP_ID} ${BINGO_APP_ID}.Traditional)
        string(REPLACE \"${BINGO_APP_ID}\" bingo _bingo_template \${_bingo_id})
        set(_bingo_entry \"${CMAKE_BINARY_DIR}/desktop-entry/\${_bingo_key}/\${_bingo_id}.desktop\")
        configure_file(\"${CMAKE_CURRENT_SOURCE_DIR}/assets/\${_bingo_template}.desktop.in\" \"\${_bingo_entry}\" @ONLY)
        file(INSTALL \"\${_bingo_entry}\" DESTINATION \"\${CMAKE_INSTALL_FULL_DATADIR}/applications\")
    endforeach()
    file(REMOVE_RECURSE \"${CMAKE_BINARY_DIR}/desktop-entry/\${_bingo_key}\")
")
