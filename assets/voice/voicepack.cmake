# SPDX-License-Identifier: GPL-3.0-or-later
#
# The spoken voice packs, both made by every build by make-voice-pack.sh (flite and sox) from
# calls.tsv. The caller plays its wave files by plain name from its working folder, so a voice
# is a folder, chosen by the folder the caller is started in:
#
#   BINGO_VOICE_PACK_DIR         the plain calls ("Four and two, forty-two"): "1.wav" to "90.wav"
#                                and the cues, in the build folder, where the program runs; what
#                                it falls back on when the working folder lacks a file
#   BINGO_TRADITIONAL_VOICE_DIR  the traditional calls ("Two little ducks, twenty-two"): "1.wav"
#                                to "90.wav" only, in build/traditional; the cues, the same for
#                                both, are found beside the program
#
# Both are empty when no pack is made: without flite or sox the packs are left out with a
# warning, and the program then sounds the system alert where a number would be called.

find_program(BINGO_BASH bash)
find_program(BINGO_FLITE flite)
find_program(BINGO_SOX sox)

set(BINGO_VOICE_PACK_DIR "")
set(BINGO_TRADITIONAL_VOICE_DIR "")
if(NOT BINGO_BASH OR NOT BINGO_FLITE OR NOT BINGO_SOX)
    message(WARNING
        "flite or sox not found: the voice packs are not made, and the caller will "
        "sound the system alert instead of each number. Install the Debian packages "
        "flite and sox, then run CMake again.")
    return()
endif()

set(_voice_inputs ${CMAKE_CURRENT_LIST_DIR}/make-voice-pack.sh ${CMAKE_CURRENT_LIST_DIR}/number-words.sh
                  ${CMAKE_CURRENT_LIST_DIR}/calls.tsv)

# bingo_voice_pack(DIR STYLE [numbers]): speaks the STYLE pack into DIR.
function(bingo_voice_pack dir style)
    set(stamp ${dir}/voice-pack-${style}.stamp)
    set(files "")
    foreach(name RANGE 1 90)
        list(APPEND files ${dir}/${name}.wav)
    endforeach()
    if(NOT ARGN STREQUAL numbers)
        foreach(name bingo false restart reset print black blue green soundon soundoff welcome thanks)
            list(APPEND files ${dir}/${name}.wav)
        endforeach()
    endif()
    add_custom_command(
        OUTPUT ${stamp} ${files}
        COMMAND ${BINGO_BASH} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/make-voice-pack.sh ${dir} ${style} ${ARGN}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${_voice_inputs}
        COMMENT "Speaking the ${style} calls"
        VERBATIM)
    add_custom_target(voice_pack_${style} ALL DEPENDS ${stamp})
endfunction()

bingo_voice_pack(${CMAKE_BINARY_DIR} plain)
bingo_voice_pack(${CMAKE_BINARY_DIR}/traditional traditional numbers)

set(BINGO_VOICE_PACK_DIR ${CMAKE_BINARY_DIR})
set(BINGO_TRADITIONAL_VOICE_DIR ${CMAKE_BINARY_DIR}/traditional)
unset(_voice_inputs)
