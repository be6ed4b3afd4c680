# SPDX-License-Identifier: GPL-3.0-or-later
#
# The spoken voice pack: "1.wav" to "90.wav" and the cue files that the
# caller plays by plain name from its working folder. They are made at build
# time by make-voice-pack.sh (flite and sox) into the build folder, where
# the program runs.
#
#   BINGO_VOICE_CALLS     "plain" ("Four and two, forty-two") or
#                         "traditional" ("Two little ducks, twenty-two")
#   BINGO_VOICE_PACK_DIR  set by this file: the folder holding the pack, or
#                         empty when no pack is made
#
# Without flite or sox the pack is left out with a warning; the program
# then sounds the system alert where a number would be called.

set(BINGO_VOICE_CALLS "plain" CACHE STRING "Number calls of the voice pack: plain or traditional")
set_property(CACHE BINGO_VOICE_CALLS PROPERTY STRINGS plain traditional)
if(NOT BINGO_VOICE_CALLS MATCHES "^(plain|traditional)$")
    message(FATAL_ERROR "BINGO_VOICE_CALLS is '${BINGO_VOICE_CALLS}': use plain or traditional")
endif()

find_program(BINGO_BASH bash)
find_program(BINGO_FLITE flite)
find_program(BINGO_SOX sox)

set(BINGO_VOICE_PACK_DIR "")
if(NOT BINGO_BASH OR NOT BINGO_FLITE OR NOT BINGO_SOX)
    message(WARNING
        "flite or sox not found: the voice pack is not made, and the caller will "
        "sound the system alert instead of each number. Install the Debian packages "
        "flite and sox, then run CMake again.")
    return()
endif()

set(_voice_script ${CMAKE_CURRENT_LIST_DIR}/make-voice-pack.sh)
set(_voice_calls ${CMAKE_CURRENT_LIST_DIR}/calls.tsv)
set(_voice_stamp ${CMAKE_BINARY_DIR}/voice-pack.stamp)
# Rewritten only when the choice changes, so that a new choice remakes the
# pack under every generator.
set(_voice_choice ${CMAKE_BINARY_DIR}/voice-pack-calls.txt)
file(CONFIGURE OUTPUT ${_voice_choice} CONTENT "${BINGO_VOICE_CALLS}\n")

set(_voice_files "")
foreach(_name RANGE 1 90)
    list(APPEND _voice_files ${CMAKE_BINARY_DIR}/${_name}.wav)
endforeach()
foreach(_name bingo false restart reset print black blue green soundon soundoff welcome thanks)
    list(APPEND _voice_files ${CMAKE_BINARY_DIR}/${_name}.wav)
endforeach()

add_custom_command(
    OUTPUT ${_voice_stamp} ${_voice_files}
    COMMAND ${BINGO_BASH} ${_voice_script} ${CMAKE_BINARY_DIR} ${BINGO_VOICE_CALLS}
    COMMAND ${CMAKE_COMMAND} -E touch ${_voice_stamp}
    DEPENDS ${_voice_script} ${CMAKE_CURRENT_LIST_DIR}/number-words.sh ${_voice_calls} ${_voice_choice}
    COMMENT "Speaking the voice pack (${BINGO_VOICE_CALLS} calls)"
    VERBATIM)
add_custom_target(voice_pack ALL DEPENDS ${_voice_stamp})

set(BINGO_VOICE_PACK_DIR ${CMAKE_BINARY_DIR})
unset(_voice_script)
unset(_voice_calls)
unset(_voice_stamp)
unset(_voice_choice)
unset(_voice_files)
unset(_name)
