#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a Windows program of the build under Wine: the cards page writer at build time, and the
# tests. The Wine prefix belongs to the build folder and is made on first use; in it, every
# program runs on Qt's offscreen platform, since Wine passes no QT_* variable on from Linux, and
# Arial and MS Sans Serif, which a Windows PC has, are drawn with their metric twin.
#
# Usage: wine-run.sh PREFIX DLL-PATH PROGRAM [ARGS...]
#   DLL-PATH  the Linux folders, separated by ':', where Qt's and the compiler's DLLs are
#   BINGO_TEST_LOG, when set: the Linux path of the file the program logs to, printed at its end
set -euo pipefail

[[ $# -ge 3 ]] || { echo "usage: ${0##*/} PREFIX DLL-PATH PROGRAM [ARGS...]" >&2; exit 2; }
export WINEPREFIX=$1
# Wine shows the Linux root as drive Z:.
IFS=: read -r -a dll_dirs <<< "$2"
WINEPATH=
for dir in "${dll_dirs[@]}"; do
    WINEPATH+="${WINEPATH:+;}Z:${dir//\//\\}"
done
export WINEPATH
shift 2
wine=${BINGO_WINE:-/usr/lib/wine/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: Wine would otherwise offer to download them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [[ ! -f $WINEPREFIX/.bingo-ready ]]; then
        "$wine" wineboot --init >/dev/null 2>&1
        "$wine" reg add 'HKCU\Environment' /v QT_QPA_PLATFORM /d offscreen /f >/dev/null 2>&1
        for face in Arial "MS Sans Serif"; do
            "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" \
                /d "Liberation Sans" /f >/dev/null 2>&1
        done
        touch "$WINEPREFIX/.bingo-ready"
    fi
) 9>"$WINEPREFIX.lock"

# A test names the file its log goes to: it is printed whatever the end, so that ctest's log
# says what failed even when Wine ended the program for a fault.
if [[ -n ${BINGO_TEST_LOG:-} ]]; then
    rm -f "$BINGO_TEST_LOG"
    status=0
    "$wine" "$@" || status=$?
    if [[ -f $BINGO_TEST_LOG ]]; then
        cat "$BINGO_TEST_LOG"
    else
        echo "${0##*/}: $1 wrote no log to $BINGO_TEST_LOG"
    fi
    [[ $status -eq 0 ]] || echo "${0##*/}: $1 ended with status $status"
    exit "$status"
fi
exec "$wine" "$@"
