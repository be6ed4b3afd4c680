#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Tries the Windows installer as a host would, under Wine in a Wine prefix of its own: a silent
# install puts the program, its DLLs, the voice pack and the cards page in place; the Start-menu
# shortcut starts the program in the folder of its wave files; the program started from it shows
# its main window; the installer's last page starts it through the desktop's shell, as the
# desktop's user, and a silent install starts nothing; the silent uninstall leaves nothing behind.
#
# Usage: windows_installer_test.sh SETUP.EXE
#   BINGO_SCREENSHOT=file.png  also keeps a picture of the screen with the main window
set -euo pipefail

[[ $# -eq 1 ]] || { echo "usage: ${0##*/} SETUP.EXE" >&2; exit 2; }
setup=$(realpath "$1")
wine=${BINGO_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix
export WINEDEBUG=-all
# No Mono or Gecko downloads, and no Linux menu entries made from the Windows shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
cleanup() {
    "$wineserver" -k >/dev/null 2>&1 || true
    [[ -z ${xvfb_pid:-} ]] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display

"$wine" wineboot --init >/dev/null 2>&1
# Arial and MS Sans Serif, which a Windows PC has, drawn with their metric twin.
for face in Arial "MS Sans Serif"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f >/dev/null 2>&1
done
"$wineserver" -w
drive_c=$WINEPREFIX/drive_c
everything() { (cd "$drive_c" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -print | sort); }
everything > "$scratch/before"

started=$(date +%s%N)
"$wine" "$setup" /S
"$wineserver" -w
echo "silent install: $(( ($(date +%s%N) - started) / 1000000 )) ms"

program_dir="$drive_c/Program Files/Bingo Caller"
# The unix processes of the caller in this Wine prefix.
callers() {
    local pid
    for pid in $(pgrep -f 'Bingo Caller.bingo\.exe'); do
        tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
    return 0
}
[[ -z $(callers) ]] || fail "the silent install started the caller"
for file in bingo.exe uninstall.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
            platforms/qwindows.dll imageformats/qgif.dll styles/qwindowsvistastyle.dll \
            1.wav 90.wav welcome.wav thanks.wav bingo.wav soundoff.wav cards/index.html; do
    [[ -f $program_dir/$file ]] || fail "not installed: $file"
done

# start_in LINK: the working folder of a shortcut, read from the .lnk file itself.
start_in() {
    python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags = struct.unpack_from('<I', data, 0x14)[0]
pos = 0x4C
if flags & 0x01:  # a target ID list
    pos += 2 + struct.unpack_from('<H', data, pos)[0]
if flags & 0x02:  # link information
    pos += struct.unpack_from('<I', data, pos)[0]
width = 2 if flags & 0x80 else 1
for bit in (0x04, 0x08, 0x10):  # name, relative path, working folder, in this order
    if flags & bit:
        count = struct.unpack_from('<H', data, pos)[0]
        text = data[pos + 2:pos + 2 + count * width]
        pos += 2 + count * width
        if bit == 0x10:
            print(text.decode('utf-16-le' if width == 2 else 'latin-1').rstrip('\0'))
PY
}
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Bingo/Bingo.lnk"
if [[ -f $shortcut ]]; then
    folder=$(start_in "$shortcut")
    [[ $folder == 'C:\Program Files\Bingo Caller' ]] || fail "the shortcut starts in '$folder'"
else
    fail "no Start-menu shortcut"
fi
# The traditional calls' shortcut starts the same program in a folder of 90 number calls that
# are not the plain ones (the cues are found beside the program).
traditional="$(dirname "$shortcut")/Bingo (traditional calls).lnk"
if [[ -f $traditional ]]; then
    folder=$(start_in "$traditional")
    [[ $folder == 'C:\Program Files\Bingo Caller\traditional' ]] || fail "the traditional shortcut starts in '$folder'"
    tr -d '\000' <"$traditional" | grep -aqF 'Bingo Caller\bingo.exe' || fail "the traditional shortcut does not start bingo.exe"
    numbers=$(ls "$program_dir/traditional" 2>/dev/null | grep -cxE '[0-9]+\.wav' || true)
    [[ $numbers -eq 90 ]] || fail "the traditional folder holds $numbers number calls, not 90"
    ! cmp -s "$program_dir/22.wav" "$program_dir/traditional/22.wav" || fail "the traditional 22.wav is the plain call"
else
    fail "no Start-menu shortcut to the traditional calls"
fi
[[ -f $(dirname "$shortcut")/Print\ bingo\ cards.lnk ]] || fail "no Start-menu shortcut to the cards page"
# The target is kept both as 8-bit and UTF-16 text: dropping the zero bytes reads either.
tr -d '\000' < "$(dirname "$shortcut")/Print bingo cards.lnk" 2>/dev/null | grep -aqF 'cards\index.html' \
    || fail "the cards shortcut does not lead to the cards page"

# Started from its shortcut, the program shows the splash window, then the main window.
"$wine" start /unix "$shortcut" >/dev/null 2>&1
title="Bingo Version 1.6 - Designed by"
for _ in $(seq 1 30); do
    xwininfo -root -tree 2>/dev/null | grep -q "$title" && break
    sleep 0.5
done
if xwininfo -root -tree 2>/dev/null | grep -q "$title"; then
    sleep 3   # the splash window gives way to the main window after two seconds
    [[ -z ${BINGO_SCREENSHOT:-} ]] || import -window root "$BINGO_SCREENSHOT"
else
    fail "the installed program showed no main window"
fi
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w

# The installer runs as an administrator; Finish on its last page, "Run" ticked, has Explorer, the
# desktop's shell, open the Start-menu shortcut. On Windows the running shell, the desktop user's
# and not elevated, starts the caller; under Wine, which has no such split, a new Explorer does
# it. What Wine shows: the command the installer issues, that the caller's parent is that
# Explorer and not the installer, and that the caller runs in its own folder.
WINEDEBUG=+pid,+process "$wine" "$setup" > "$scratch/trace" 2>&1 &
installer=$!
# Return: Next on the folder page, Install on the components page, then Finish once the files
# are in (on the installing page it does nothing).
for _ in $(seq 1 120); do
    window=$(xdotool search --name '^Bingo [0-9.]* Setup' 2>/dev/null | head -n 1) || true
    [[ -n $window ]] || { kill -0 "$installer" 2>/dev/null || break; sleep 0.5; continue; }
    xdotool key --window "$window" Return 2>/dev/null || true
    sleep 1
done
wait "$installer" || fail "the installer run by hand failed"
for _ in $(seq 1 60); do
    [[ -z $(callers) ]] || break
    sleep 0.5
done
caller=$(callers | head -n 1)
if [[ -n $caller ]]; then
    [[ $(readlink "/proc/$caller/cwd") == "$program_dir" ]] \
        || fail "the caller started from the last page runs in $(readlink "/proc/$caller/cwd")"
    # Who started the caller, from the process channel's trace: each start is a line with the
    # command, then, on the same thread, one with the new process's id.
    launcher=$(python3 - "$scratch/trace" <<'PY'
import re, sys
started, asked = {}, {}
for line in open(sys.argv[1], errors='replace'):
    m = re.match(r'([0-9a-f]+):([0-9a-f]+):trace:process:CreateProcessInternalW '
                 r'(?:app .*? cmdline L"(.*)"$|started process pid ([0-9a-f]+))', line.rstrip('\n'))
    if m and m[3] is not None:
        asked[m[1], m[2]] = re.sub(r'\\(.)', r'\1', m[3])
    elif m and (m[1], m[2]) in asked:
        started[m[4]] = (m[1], asked.pop((m[1], m[2])))
parents = [parent for parent, command in started.values() if command.endswith('Bingo Caller\\bingo.exe"')]
print(started[parents[0]][1] if parents and parents[0] in started else 'the installer itself')
PY
) || launcher="nothing Wine traced"
    echo "the last page's caller was started by: $launcher"
    [[ $launcher == '"C:\windows\explorer.exe" "C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Bingo\Bingo.lnk"' ]] \
        || fail "the caller from the last page was not started by Explorer from its shortcut"
else
    fail "Finish on the installer's last page started no caller"
fi
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w

started=$(date +%s%N)
"$wine" "C:\\Program Files\\Bingo Caller\\uninstall.exe" /S
"$wineserver" -w
# The uninstaller runs from a copy in the temporary folder and returns before it is done.
for _ in $(seq 1 40); do
    [[ -e $program_dir ]] || break
    sleep 0.25
done
echo "silent uninstall: $(( ($(date +%s%N) - started) / 1000000 )) ms"
everything > "$scratch/after"
if ! diff -u "$scratch/before" "$scratch/after" >"$scratch/left"; then
    fail "left behind after the uninstall:"
    grep '^+\./' "$scratch/left" >&2 || true
fi
if "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\BingoCaller' >/dev/null 2>&1; then
    fail "the uninstall entry is still in the registry"
fi

if [[ $failures -gt 0 ]]; then
    echo "windows_installer_test: $failures failed" >&2
    exit 1
fi
echo "windows_installer_test: installed, started from its shortcut and from the last page, uninstalled cleanly"
