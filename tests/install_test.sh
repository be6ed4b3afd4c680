#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs a finished build into a scratch prefix, and once more through a DESTDIR
# staging folder, and checks what arrived: the program, the two desktop entries (each starting
# the program in the installed folder of its voice), the icons, the metainfo, the cards page
# and, when the build made the voice packs, every wave file of both; and that the screenshots
# the metainfo names are published beside the cards page.
#
# Usage: install_test.sh BUILD_DIR VOICE_PACK_DIR TRADITIONAL_DIR DATADIR BINDIR
#   VOICE_PACK_DIR   the folder holding the built plain calls and cues, or "" when none were made
#   TRADITIONAL_DIR  the folder holding the built traditional calls, or "" likewise
#   DATADIR BINDIR  CMAKE_INSTALL_DATADIR and CMAKE_INSTALL_BINDIR, relative to the prefix
set -euo pipefail

[[ $# -eq 5 ]] || { echo "usage: ${0##*/} BUILD_DIR VOICE_PACK_DIR TRADITIONAL_DIR DATADIR BINDIR" >&2; exit 2; }
build=$1
voice_pack=$2
traditional_pack=$3
datadir=$4
bindir=$5
source_dir=$(cd "$(dirname "$0")/.." && pwd)
app_id=example.bingocaller.Bingo

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# check_install ROOT PREFIX: the files under ROOT, for a program that will run from PREFIX.
check_install() {
    local root=$1 prefix=$2
    local data=$root$prefix/$datadir
    local voice=$prefix/$datadir/bingo-caller/voice

    [[ -f $root$prefix/$bindir/bingo && -x $root$prefix/$bindir/bingo ]] \
        || fail "$prefix: no program $bindir/bingo"

    local entry=$data/applications/$app_id.desktop
    if [[ ! -f $entry ]]; then
        fail "$prefix: no desktop entry $app_id.desktop"
    else
        local line
        for line in '[Desktop Entry]' 'Type=Application' 'Name=Bingo' "Exec=$prefix/$bindir/bingo" \
                    "Icon=$app_id" 'Terminal=false' 'Categories=Game;BoardGame;' "Path=$voice/plain"; do
            grep -qxF -- "$line" "$entry" || fail "$prefix: the desktop entry lacks the line '$line'"
        done
        grep -q '^Comment=.' "$entry" || fail "$prefix: the desktop entry has no comment"
        [[ $(grep -c '^Path=' "$entry") -eq 1 ]] || fail "$prefix: the desktop entry has more than one Path="
        grep -qxF "Exec=xdg-open $prefix/$datadir/bingo-caller/web/cards/index.html" "$entry" \
            || fail "$prefix: the desktop entry has no action that opens the installed cards page"
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$entry" || fail "$prefix: desktop-file-validate rejects the entry"
        fi
    fi

    cmp -s "$source_dir/assets/icon-256.png" "$data/icons/hicolor/256x256/apps/$app_id.png" \
        || fail "$prefix: the 256x256 icon is missing or differs from assets/icon-256.png"
    cmp -s "$source_dir/assets/icon.png" "$data/icons/hicolor/32x32/apps/$app_id.png" \
        || fail "$prefix: the 32x32 icon is missing or differs from assets/icon.png"

    local metainfo=$data/metainfo/$app_id.metainfo.xml
    cmp -s "$build/$app_id.metainfo.xml" "$metainfo" \
        || fail "$prefix: the metainfo is missing or differs from the one the build wrote"
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net "$metainfo" >"$scratch/appstream.log" \
            || { cat "$scratch/appstream.log"; fail "$prefix: appstreamcli rejects the metainfo"; }
    fi

    cmp -s "$build/web/cards/index.html" "$data/bingo-caller/web/cards/index.html" \
        || fail "$prefix: the cards page is missing or differs from the built one"
    local web_files
    web_files=$(cd "$data/bingo-caller/web" 2>/dev/null && find . -mindepth 1 | sort | tr '\n' ' ')
    [[ $web_files == './cards ./cards/index.html ' ]] \
        || fail "$prefix: the web folder holds more or less than cards/index.html: $web_files"

    # The traditional launcher: the same program, started in the traditional calls' folder,
    # whose "22.wav" is the traditional pack's own.
    local traditional=$data/applications/$app_id.Traditional.desktop
    for line in 'Name=Bingo (traditional calls)' "Exec=$prefix/$bindir/bingo" "Path=$voice/traditional"; do
        grep -qxF -- "$line" "$traditional" 2>/dev/null || fail "$prefix: the traditional entry lacks the line '$line'"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$traditional" || fail "$prefix: desktop-file-validate rejects the traditional entry"
    fi
    local started_in
    started_in=$(sed -n 's/^Path=//p' "$traditional" 2>/dev/null)
    [[ -z $traditional_pack ]] || cmp -s "$traditional_pack/22.wav" "$root$started_in/22.wav" \
        || fail "$prefix: the traditional entry's folder ($started_in) does not hold the traditional 22.wav"

    check_voice "$root$voice/plain" "$voice_pack"
    check_voice "$root$voice/traditional" "$traditional_pack"
}

# check_voice FOLDER PACK: FOLDER holds exactly the wave files of the built PACK, among them
# the 90 number calls.
check_voice() {
    local folder=$1 pack=$2
    [[ -d $folder ]] || fail "no voice folder $folder"
    [[ -n $pack ]] || return 0
    local wave count=0 n
    for wave in "$pack"/*.wav; do
        [[ -e $wave ]] || continue
        count=$((count + 1))
        cmp -s "$wave" "$folder/${wave##*/}" || fail "$folder: ${wave##*/} is missing or differs"
    done
    for n in $(seq 1 90); do
        [[ -f $folder/$n.wav ]] || fail "$folder: no $n.wav"
    done
    [[ $(find "$folder" -name '*.wav' | wc -l) -eq $count ]] \
        || fail "$folder holds wave files the build did not make"
}

# Every screenshot the metainfo names is beside the cards page, ready to publish.
shots=$(grep -o 'https://[^<]*/screenshots/[^<]*' "$build/$app_id.metainfo.xml" || true)
[[ -n $shots ]] || fail "the metainfo names no screenshots"
for shot in $shots; do
    cmp -s "$source_dir/docs/${shot##*/}" "$build/web/screenshots/${shot##*/}" \
        || fail "the screenshot ${shot##*/} is not in docs/ or not copied into web/screenshots/"
done

# A plain install into a prefix of its own.
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" || { cat "$scratch/install.log"; exit 1; }
check_install "" "$prefix"

# A staged install, as a package build does it: the files land under DESTDIR, but the
# desktop entry names the folder the program will finally run in.
stage=$scratch/stage
DESTDIR=$stage cmake --install "$build" --prefix /opt/bingo-caller >"$scratch/stage.log" \
    || { cat "$scratch/stage.log"; exit 1; }
check_install "$stage" /opt/bingo-caller

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed and checked: $prefix and DESTDIR $stage/opt/bingo-caller"
