#!/usr/bin/env bash
# Plays one whole game from the keyboard with the Orca screen reader listening, and checks in
# Orca's own debug log that it spoke what a blind host needs: the splash and farewell windows, the
# count and the last number read once each with their captions, a called number, both claim
# verdicts, the end of the game, the help box and the focus coming back after it; and, through
# AT-SPI, that the Sound menu tells whether sound is on.
#
# Everything runs on a virtual display (Xvfb) with a private session bus and its own AT-SPI bus,
# so it neither needs nor disturbs a desktop. Keys are typed with xdotool. The game is played at
# the fastest speed, one number every 2.5 s: 90 ticks of 2.5 s make 225 s, and the whole run takes
# about four and a half minutes once the caller is built. Not part of CI.
#
# Usage: scripts/screen-reader-check.sh [log folder]   (default: build/screen-reader)
# The folder keeps orca.log (Orca's debug log), speech.txt (its SPEECH OUTPUT lines) and bingo.log.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

inside_session() {
    local logs=$1 orca_log=$1/orca.log
    trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
    # The accessibility bus, then Orca, then the caller: Orca sets "screen reader enabled" on the
    # bus, which is what switches Qt's AT-SPI bridge on.
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    local bus_launcher=$!
    # Orca's settings of its own, with no speech server: it logs what it would say, and does not
    # wait on speech-dispatcher, which a bare session cannot start.
    mkdir -p "$logs/orca-prefs"
    cat >"$logs/orca-prefs/user-settings.conf" <<'SETTINGS'
{"general": {"speechServerFactory": "", "activeProfile": ["Default", "default"],
             "startingProfile": ["Default", "default"]},
 "profiles": {"default": {"profile": ["Default", "default"], "pronunciations": {}, "keybindings": {}}},
 "pronunciations": {}, "keybindings": {}}
SETTINGS
    # Orca writes its debug log in blocks; this script follows it as it grows, line by line.
    cat >"$logs/orca-prefs/orca-customizations.py" <<'CUSTOM'
import orca.debug
if orca.debug.debugFile:
    orca.debug.debugFile.reconfigure(line_buffering=True)
CUSTOM
    orca --user-prefs "$logs/orca-prefs" --debug-file "$orca_log" >"$logs/orca.out" 2>&1 &
    local orca=$!
    wait_for "$orca_log" 'Startup complete' 1 30

    # A game journal of its own: one left by an earlier check that stopped short would otherwise
    # greet this one with the carry-on question.
    (cd "$root/build" && XDG_DATA_HOME="$logs/data" exec ./bingo) >"$logs/bingo.log" 2>&1 &
    local bingo=$!
    local window
    window=$(xdotool search --sync --name '^Bingo Version')
    xdotool windowfocus --sync "$window"
    wait_for "$orca_log" "SPEECH OUTPUT: 'Reset push button" 1 20

    play_game "$orca_log" "$logs"

    # The farewell window goes after two seconds and the program with it.
    local waited=0
    while kill -0 "$bingo" 2>/dev/null && [ "$waited" -lt 50 ]; do sleep 0.2; waited=$((waited + 1)); done
    kill "$orca" "$bus_launcher" 2>/dev/null || true
    wait "$orca" "$bus_launcher" 2>/dev/null || true
}

# wait_for LOG PATTERN COUNT SECONDS [FROM]: until PATTERN (an extended regular expression) has
# matched COUNT lines of LOG, counting from line FROM on.
wait_for() {
    local log=$1 pattern=$2 count=$3 seconds=$4 from=${5:-1} waited=0
    until [ "$(tail -n "+$from" "$log" 2>/dev/null | grep -acE -- "$pattern")" -ge "$count" ]; do
        sleep 0.2
        waited=$((waited + 1))
        if [ "$waited" -gt $((seconds * 5)) ]; then
            echo "Orca did not get to: $pattern (x$count) within ${seconds}s" >&2
            return 1
        fi
    done
}

key() {
    xdotool key --delay 300 "$@"
    sleep 0.5
}

# What the caller announced, as Orca logs each notification it is handed.
announced() { echo "OBJECT EVENT: object:state-changed:showing \(1, 0, \[notification \| $1\]\)"; }

play_game() {
    local log=$1 logs=$2
    echo "Flat review from the focused line upwards: KP_8, then KP_7 13 times"
    key KP_Up
    for _ in $(seq 13); do key KP_Home; done

    # The focus starts on "Reset". The tab order: Reset, Exit, Pause/ Check Card, Start, the card
    # box, Slow Down, Speed Up, Pause, Print Cards.
    echo "Tab to Speed Up, Return; Shift+Tab to Start, Return"
    key Tab Tab Tab Tab Tab Tab Return
    wait_for "$log" "$(announced 'Calling speed: Fast')" 1 10
    key shift+Tab shift+Tab shift+Tab Return
    wait_for "$log" "$(announced calling)" 1 10

    echo "Three calls, then a claim on card 7: Tab to the box, 7, Shift+Tab twice to Pause/ Check Card, Return"
    wait_for "$log" "$(announced '[0-9]+')" 3 15
    key Tab 7 shift+Tab shift+Tab Return
    wait_for "$log" "$(announced 'False Claim.*')" 1 10

    echo "Tab to Restart, Return; after the 89th call Return again to pause"
    key Tab Return
    wait_for "$log" "$(announced '[0-9]+')" 89 300
    key Return
    wait_for "$log" "$(announced Restart)" 1 10
    echo "Claims on cards 1, 2, ... until one wins: after 89 calls one number is missing"
    local card=1
    while :; do
        key Tab
        xdotool type --delay 200 "$card"
        key shift+Tab shift+Tab Return
        wait_for "$log" "$(announced '(Bingo!|False Claim.*)')" $((card + 1)) 10
        grep -qaE "$(announced 'Bingo!')" "$log" && break
        [ "$card" -lt 50 ] || return 1
        key Tab
        card=$((card + 1))
    done
    echo "Card $card won. Tab to Restart, Return: the next tick ends the game"
    key Tab Return
    wait_for "$log" "$(announced 'Game over')" 1 10

    echo "Alt, Right, Right to Help, Return; Return closes the box and the focus is back on the start button"
    key alt Right Right Return
    wait_for "$log" "SPEECH OUTPUT: '.*Please email" 1 10
    local closed
    closed=$(wc -l <"$log")
    key Return
    wait_for "$log" "SPEECH OUTPUT: '(Start|calling) push button" 1 10 "$closed"

    echo "Alt, Right, Down, Right, Down to Options > Sound > Off, Return"
    key alt Right Down Right Down Return
    sleep 1
    /usr/bin/python3 - >"$logs/sound-menu.txt" <<'SOUND'
import pyatspi
for app in pyatspi.Registry.getDesktop(0):
    if app and app.name == "Bingo":
        menu = pyatspi.findDescendant(app, lambda o: o.getRoleName() == "popup menu" and o.name == "Sound")
        print("%s %s, description: %s" % (menu.name, menu.getRoleName(), menu.description))
SOUND

    echo "Shift+Tab twice to Exit, Return"
    key shift+Tab shift+Tab Return
}

if [ "${1:-}" = --inside-session ]; then
    inside_session "$2"
    exit
fi

logs=$(realpath -m "${1:-build/screen-reader}")
# Orca runs once per user: it would refuse to start beside a screen reader already running.
if pgrep -u "$(id -u)" -x orca >/dev/null; then
    echo "Orca is running for this user already; quit it first (this check never stops it)." >&2
    exit 2
fi
bash scripts/setup.sh
missing=()
for package in orca at-spi2-core python3-pyatspi xvfb xdotool dbus-daemon; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build

rm -rf "$logs"
mkdir -p "$logs"
started=$(date +%s)

# A display of its own: Xvfb picks a free number and writes it to the pipe.
exec {display_fd}< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>"$logs/xvfb.log")
xvfb=$!
read -r -u "$display_fd" display
trap 'kill "$xvfb" 2>/dev/null || true' EXIT

mkdir -m 700 "$logs/runtime"
DISPLAY=:$display XDG_RUNTIME_DIR=$logs/runtime dbus-run-session -- bash "$0" --inside-session "$logs" \
    || echo "The game stopped short; see $logs/orca.log"

grep -a "SPEECH OUTPUT" "$logs/orca.log" >"$logs/speech.txt" || true
echo
echo "What Orca said ($(($(date +%s) - started)) s), in $logs/speech.txt:"
failed=0
# check WHAT UTTERANCE: the first line where Orca spoke exactly UTTERANCE (a regular expression);
# Orca adds a full stop after a word that ends in a letter or digit. What follows the closing quote
# is the voice: "{" for a message, "[" for a line of flat review, " {" for a key echoed.
check() {
    local line
    if line=$(grep -m1 -E -- "SPEECH OUTPUT: '$2\.?'[{[]" "$logs/speech.txt"); then
        echo "  $1: ${line%%\'[{[]*}'"
    else
        echo "  $1: NOT SPOKEN ($2)"
        failed=1
    fi
}
check "the splash window" 'Welcome to Bingo'
check "flat review, the count" 'Numbers called so far: 0'
check "flat review, the last number" 'The last number called was -'
check "the speed" 'Calling speed: Fast'
check "start" 'calling'
first=$(grep -aom1 -E 'showing for \[notification \| [0-9]+\]' "$logs/orca.log" | grep -oE '[0-9]+')
echo "  the first call, $first, as Orca got it: $(grep -am1 -E "showing for \[notification \| $first\]" "$logs/orca.log" | cut -c1-15)"
check "the first call" "${first:-none}"
check "a false claim" "False Claim press the 'Restart' button to continue!"
check "a pause" 'Restart'
check "a bingo" 'Bingo!'
check "the end of the game" 'Game over'
check "the help box" "Please email '.*'"
if line=$(sed -n "/Please email/,\$p" "$logs/speech.txt" | grep -m1 -E "'(Start|calling) push button"); then
    echo "  focus back after help: ${line%%\{*}"
else
    echo "  focus back after help: NOT SPOKEN"
    failed=1
fi
if grep -q 'Sound popup menu, description: Sound is off' "$logs/sound-menu.txt" 2>/dev/null; then
    echo "  after Off, through AT-SPI: $(cat "$logs/sound-menu.txt")"
else
    echo "  the Sound menu's description: NOT 'Sound is off' ($(cat "$logs/sound-menu.txt" 2>/dev/null))"
    failed=1
fi
check "the farewell window" 'Thank you for playing Bingo'
exit "$failed"
