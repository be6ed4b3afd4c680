#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Listens to the number calls of a voice pack the way a player at the back of
# the hall would have to: with no idea which number comes next. The listener is
# a speech recogniser, Debian's pocketsphinx with its US English model
# (pocketsphinx-en-us), in open dictation: no grammar and no list of expected
# words. A call counts as heard when what the recogniser writes down, in lower
# case with hyphens as spaces, holds the number's words as whole words
# ("forty two" for 42, "seven" for 7).
#
# Usage: voicepack_heard.sh MINIMUM DIR
#        voicepack_heard.sh MINIMUM --make STYLE
#   MINIMUM       how many of the 90 number calls must be heard
#   DIR           a folder holding 1.wav ... 90.wav
#   --make STYLE  first makes the STYLE pack (plain or traditional) with
#                 assets/voice/make-voice-pack.sh into a scratch folder
#
# Prints every call not heard with what was heard instead, then the score.
# The recogniser wants 16 kHz mono 16-bit input, so it hears a copy made by
# sox; the calls are heard in parallel, one job per CPU.
set -euo pipefail
export LC_ALL=C

usage() {
    echo "usage: ${0##*/} MINIMUM DIR | ${0##*/} MINIMUM --make plain|traditional" >&2
    exit 2
}

die() {
    echo "${0##*/}: $*" >&2
    exit 1
}

[[ $# -ge 2 && $1 =~ ^[0-9]+$ ]] || usage
minimum=$1
shift
for tool in pocketsphinx_continuous sox; do
    command -v "$tool" >/dev/null ||
        die "'$tool' not found (Debian packages pocketsphinx, pocketsphinx-en-us and sox)"
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/voicepack-heard.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

if [[ $1 == --make ]]; then
    [[ $# -eq 2 ]] || usage
    source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    pack="$scratch/pack"
    bash "$source_dir/assets/voice/make-voice-pack.sh" "$pack" "$2" >/dev/null
else
    [[ $# -eq 1 ]] || usage
    pack=$1
fi
for ((n = 1; n <= 90; n++)); do
    [[ -f $pack/$n.wav ]] || die "no $n.wav in $pack"
done

# hear N: writes what the recogniser makes of N.wav to $scratch/N.txt, all
# its utterances on one line.
hear() {
    set -euo pipefail
    local n=$1
    sox -V1 "$PACK/$n.wav" -r 16000 -c 1 -b 16 -e signed-integer "$SCRATCH/$n.wav"
    pocketsphinx_continuous -infile "$SCRATCH/$n.wav" 2>"$SCRATCH/$n.log" | tr '\n' ' ' >"$SCRATCH/$n.txt" ||
        { echo "pocketsphinx failed on $n.wav:" >&2; tail -5 "$SCRATCH/$n.log" >&2; exit 1; }
}
export -f hear
export PACK=$pack SCRATCH=$scratch

jobs=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)
seq 1 90 | xargs -P "$jobs" -I{} bash -c 'hear {}' || die "the recogniser did not run"

source "$(dirname "${BASH_SOURCE[0]}")/../assets/voice/number-words.sh"

heard=0
for ((n = 1; n <= 90; n++)); do
    hypothesis=$(<"$scratch/$n.txt")
    hypothesis=${hypothesis,,}
    hypothesis=${hypothesis//-/ }
    read -ra words <<<"$hypothesis"
    spoken=$(number_words "$n")
    spoken=${spoken//-/ }
    if [[ " ${words[*]} " == *" $spoken "* ]]; then
        heard=$((heard + 1))
    else
        echo "not heard: $n.wav (\"$spoken\"), heard as \"${words[*]}\""
    fi
done
echo "heard $heard of 90 number calls in $pack (at least $minimum needed)"
((heard >= minimum))
