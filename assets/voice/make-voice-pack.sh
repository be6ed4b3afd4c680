#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the caller's spoken voice pack with flite and sox.
#
# Usage: assets/voice/make-voice-pack.sh OUTDIR [plain|traditional] [numbers]
#
# Writes 102 wave files into OUTDIR (created if needed), or with "numbers" only the 90
# number calls, for a pack that shares the cues of another:
#   1.wav ... 90.wav   the number calls, texts from calls.tsv beside this
#                      script (column "plain" or "traditional")
#   bingo.wav false.wav restart.wav reset.wav print.wav black.wav blue.wav
#   green.wav soundon.wav soundoff.wav welcome.wav thanks.wav
#                      the short cues listed in CUES below
#
# calls.tsv has a header line and one line for each number 1 to 90, in
# order: number, plain call, traditional call, separated by tabs. Every call
# has to end with its number in words ("..., twenty-two"), so that no call
# can be misheard; the script checks this for both columns before it speaks.
#
# The voice is flite's "rms", an American man. It was chosen by measurement:
# of the voices Debian packages (flite's awb, rms, slt and kal16, festival's
# us-slt-hts and kallpc16k, espeak-ng's en-gb), made into packs by this
# script, it was the one a speech recogniser understood best
# (tests/voicepack_heard.sh stands in for a player at the back of the hall).
#
# Every file is RIFF WAVE, 16-bit signed PCM, mono, 16000 Hz. Each one is
# trimmed to the speech plus a few milliseconds either side and brought to
# the same RMS level (the peak never above -1 dBFS), so that every call
# sounds equally loud and starts the moment it is played. A number call
# lasts at most 2.2 s, a cue at most 1.9 s: the fastest calling speed draws
# a number every 2.5 s, and a new sound cuts off the one still playing.
# Texts that come out too long are spoken faster (flite's duration_stretch,
# down to STRETCH_FLOOR); past that, sox shortens time without touching the
# pitch. Nothing is cut off.
#
# The output is byte-for-byte reproducible: no dither, no time stamps, no
# comment chunks. Besides flite and sox the script needs only od and awk
# from the base system; the files are spoken in parallel, one job per CPU.
set -euo pipefail
export LC_ALL=C   # numbers with a decimal point, whatever the user's locale

usage() {
    echo "usage: ${0##*/} OUTDIR [plain|traditional] [numbers]" >&2
    exit 2
}

die() {
    echo "${0##*/}: $*" >&2
    exit 1
}

[[ $# -ge 1 && $# -le 3 && -n $1 ]] || usage
outdir=$1
style=${2:-plain}
with_cues=true
case ${3:-} in
    '') ;;
    numbers) with_cues=false ;;
    *) usage ;;
esac
case $style in
    plain) column=2 ;;
    traditional) column=3 ;;
    *) usage ;;
esac

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
calls="$here/calls.tsv"

for tool in flite sox od awk; do
    command -v "$tool" >/dev/null || die "'$tool' not found (flite and sox are Debian packages of those names)"
done
[[ -r $calls ]] || die "cannot read $calls"

# Short cues: file name, then what is said.
CUES=(
    bingo    "Bingo! We have a winner"
    false    "Sorry, false claim"
    restart  "Calling"
    reset    "New game"
    print    "Opening the cards page"
    black    "Black"
    blue     "Blue"
    green    "Green"
    soundon  "Sound on"
    soundoff "Sound off"
    welcome  "Welcome to Bingo"
    thanks   "Thank you for playing"
)

# --- Voice and level settings, shared with the workers -----------------------
export VOICE=rms            # flite voice
export STRETCH_FLOOR=0.80   # fastest flite is asked to speak (duration_stretch)
export SAMPLE_RATE=16000    # of every file (the voice's own)
export NUMBER_LIMIT=2.2     # longest number call, seconds
export CUE_LIMIT=1.9        # longest cue, seconds
export TARGET_RMS_DB=-20    # RMS level of the speech, dBFS
export PEAK_CEILING_DB=-1   # no sample louder than this, dBFS
export ONSET_LEVEL=0.01     # speech starts at the first sample above this
export SPEECH_LEVEL=0.025   # ... and is heard from the first sample this loud after the gain
export QUIET_LEAD=0.02      # soft sound kept before that, at most, seconds
export TAIL_LEVEL=0.003     # ... and ends after the last sample above this
export TAIL_RING=0.02       # kept after that last sample, seconds
export LEAD_PAD=0.005       # silence put before the speech, seconds
export TAIL_PAD=0.03        # silence put after the speech, seconds

# --- Number words, to check that every call ends with its number -------------
source "$here/number-words.sh"

# The words of a text in lower case, hyphens and spaces alike, no punctuation.
normalise() {
    local s=${1,,}
    s=${s//-/ }
    s=${s//[^a-z ]/}
    local -a words
    read -ra words <<<"$s"
    echo "${words[*]}"
}

# --- Read and check the call table --------------------------------------------
declare -a TEXT
expected=1
line_no=0
while IFS=$'\t' read -r number plain traditional extra || [[ -n ${number:-} ]]; do
    line_no=$((line_no + 1))
    number=${number%$'\r'}
    plain=${plain%$'\r'}
    traditional=${traditional%$'\r'}
    if ((line_no == 1)); then
        [[ $number == number && $plain == plain && ${traditional} == traditional ]] ||
            die "$calls:1: header must be 'number<TAB>plain<TAB>traditional'"
        continue
    fi
    [[ -z $number && -z $plain ]] && continue
    [[ -z ${extra:-} ]] || die "$calls:$line_no: more than three columns"
    [[ $number == "$expected" ]] || die "$calls:$line_no: expected number $expected, found '$number'"
    [[ -n $plain && -n $traditional ]] || die "$calls:$line_no: empty call text"
    for text in "$plain" "$traditional"; do
        said=$(normalise "$text")
        spoken=$(normalise "$(number_words "$number")")
        [[ $said == "$spoken" || $said == *" $spoken" ]] ||
            die "$calls:$line_no: '$text' does not end with '$spoken'"
    done
    if ((column == 2)); then TEXT[number]=$plain; else TEXT[number]=$traditional; fi
    expected=$((expected + 1))
done <"$calls"
((expected == 91)) || die "$calls: calls for 1 to 90 expected, last one found is $((expected - 1))"

# --- Rendering of one file (runs in parallel) -----------------------------------
# analyse RAW LIMIT: reads the samples of RAW and prints
#   START END FITS GAIN TEMPO
# START and END are the sample range to keep (speech plus ring-out), FITS is 1
# when that range with its padding lasts at most LIMIT seconds, GAIN (dB)
# brings the speech to the target RMS level without passing the peak ceiling,
# and TEMPO is the speed-up that makes it fit (1 when it fits already).
# Some words open with a long soft murmur (the voicing before the "g" of
# "green" lasts 40 ms); only its last QUIET_LEAD is kept, so that every file
# is heard from its first few milliseconds.
analyse() {
    sox -V1 "$1" -t s16 -c 1 - | od -An -v -td2 -w2 | awk \
        -v on="$ONSET_LEVEL" -v tail="$TAIL_LEVEL" -v ring="$TAIL_RING" \
        -v heard="$SPEECH_LEVEL" -v quiet="$QUIET_LEAD" \
        -v rate="$SAMPLE_RATE" -v lead="$LEAD_PAD" -v pad="$TAIL_PAD" -v limit="$2" \
        -v target="$TARGET_RMS_DB" -v ceiling="$PEAK_CEILING_DB" '
        BEGIN { on *= 32768; tail *= 32768 }
        {
            n++; v = $1 < 0 ? -$1 : $1; level[n] = v; sum += v * v
            if (v > peak) peak = v
            if (!first && v > on) { first = n; sum0 = sum - v * v }
            if (v > tail) { last = n; sum1 = sum }
        }
        function db(x) { return 20 * log(x) / log(10) }
        END {
            if (!first) exit 1
            start = first - 1
            g = target - db(sqrt((sum1 - sum0) / (last - start)) / 32768)
            h = ceiling - db(peak / 32768)
            if (h < g) g = h
            loud = heard * 32768 / 10 ^ (g / 20)
            for (i = first; i < last && level[i] < loud; i++) {}
            if (i - 1 - int(quiet * rate) > start) start = i - 1 - int(quiet * rate)
            end = last + int(ring * rate); if (end > n) end = n
            speech = (end - start) / rate
            fits = speech + lead + pad <= limit
            tempo = fits ? 1 : speech / (limit - lead - pad - 0.02)
            printf "%d %d %d %.2f %.4f\n", start, end, fits, g, tempo
        }'
}
export -f analyse

# render_one NAME LIMIT TEXT: speaks TEXT into $WORK/NAME.wav, at most LIMIT s.
render_one() {
    set -euo pipefail
    local name=$1 limit=$2 text=$3
    local raw="$WORK/$name.raw.wav" stretch=1.00 start end fits gain tempo
    local -a shorten=()

    while :; do
        flite -voice "$VOICE" --setf duration_stretch="$stretch" -t "$text" -o "$raw"
        read -r start end fits gain tempo < <(analyse "$raw" "$limit") ||
            { echo "flite said nothing for '$text'" >&2; exit 1; }
        if ((fits)) || [[ $stretch == "$STRETCH_FLOOR" ]]; then break; fi
        # Faster by what was over, in one go; a step of at least 0.01, so
        # that this ends.
        stretch=$(awk -v s="$stretch" -v t="$tempo" -v floor="$STRETCH_FLOOR" 'BEGIN {
            s = int(s / t * 100) / 100; printf "%.2f", s < floor ? floor : s }')
    done
    ((fits)) || shorten=(tempo -s "$tempo")
    sox -V2 -R -D "$raw" -r "$SAMPLE_RATE" -c 1 -b 16 -e signed-integer "$WORK/$name.wav" \
        trim "${start}s" "=${end}s" "${shorten[@]}" gain "$gain" pad "$LEAD_PAD" "$TAIL_PAD"
    rm -f "$raw"
}
export -f render_one

# --- Render everything into a scratch folder, then move it into place ---------
mkdir -p "$outdir"
WORK="$(mktemp -d "${TMPDIR:-/tmp}/voice-pack.XXXXXX")"
export WORK
trap 'rm -rf "$WORK"' EXIT

jobs=$(getconf _NPROCESSORS_ONLN 2>/dev/null || echo 2)
{
    for ((n = 1; n <= 90; n++)); do
        printf '%s\0%s\0%s\0' "$n" "$NUMBER_LIMIT" "${TEXT[n]}"
    done
    if $with_cues; then
        for ((i = 0; i < ${#CUES[@]}; i += 2)); do
            printf '%s\0%s\0%s\0' "${CUES[i]}" "$CUE_LIMIT" "${CUES[i + 1]}"
        done
    fi
} | xargs -0 -n 3 -P "$jobs" bash -c 'render_one "$@"' render_one ||
    die "rendering failed"

count=0
for f in "$WORK"/*.wav; do
    mv -f "$f" "$outdir/"
    count=$((count + 1))
done
expected=$($with_cues && echo $((90 + ${#CUES[@]} / 2)) || echo 90)
((count == expected)) || die "expected $expected files, made $count"
echo "voice pack ($style): $count files in $outdir"
