#!/usr/bin/env bash
# A screen reader hears the number called. A listener on the accessibility bus, in a screen
# reader's place, notes each notification the caller shows and reads its name as Orca would; when
# the caller has called one number, it must have heard that one announcement, naming the number
# the banner shows.
# Runs on a virtual display, as Qt's offscreen platform has no bridge to the accessibility bus,
# with a session bus and an accessibility bus of its own: it neither needs nor disturbs a desktop.
# Usage: announcement_heard.sh CALL_ONE_NUMBER   (the program in tests/call_one_number.cpp)
set -euo pipefail

if [ "${1:-}" = --inside-session ]; then
    caller=$2 work=$3
    # What a screen reader does as it starts, and what switches Qt's bridge on in a program
    # started later. Asking for the bus starts this session's own at-spi-bus-launcher.
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
        string:org.a11y.Status string:ScreenReaderEnabled variant:boolean:true >/dev/null
    /usr/bin/python3 - >"$work/heard" <<'LISTENER' &
import pyatspi
renamed = set()
def rename(event):
    renamed.add(event.source.path)
# Only what was renamed since the listener started: the window's own widgets, shown as it opens,
# announce nothing, and skipping them keeps the listener up with the caller.
def show(event):
    if event.detail1 and event.source.path in renamed:
        print(f"{event.source.getRoleName()}: {event.source.name}", flush=True)
pyatspi.Registry.registerEventListener(rename, "object:property-change:accessible-name")
pyatspi.Registry.registerEventListener(show, "object:state-changed:showing")
print("listening", flush=True)
pyatspi.Registry.start()
LISTENER
    listener=$!
    trap 'kill $listener' EXIT
    until grep -q listening "$work/heard"; do kill -0 $listener; sleep 0.1; done
    # The caller runs until its input ends: until the listener has heard it, or ten seconds.
    exec {to_caller}> >(exec timeout 30 "$caller" >"$work/called")
    caller_pid=$!
    for _ in $(seq 100); do
        if grep -q notification "$work/heard" || ! kill -0 $caller_pid 2>/dev/null; then break; fi
        sleep 0.1
    done
    exec {to_caller}>&-
    wait $caller_pid || { echo "FAIL: the caller ended with status $?"; exit 1; }
    heard=$(tail -n +2 "$work/heard")
    echo "The banner shows $(cat "$work/called"); the listener heard: ${heard:-nothing}"
    [ "$heard" = "notification: $(cat "$work/called")" ] && echo PASS || { echo FAIL; exit 1; }
    exit
fi

caller=$(realpath "$1")
source "$(dirname "$0")/virtual_display.sh"
work=$(mktemp -d)
trap 'stop_display; rm -rf "$work"' EXIT
start_display "$work"
# The bus launcher keeps the screen reader switch in GSettings: here in memory, not in the
# user's own settings, where it would switch the desktop's screen reader on.
XDG_RUNTIME_DIR="$work" GSETTINGS_BACKEND=memory \
    dbus-run-session -- bash "$0" --inside-session "$caller" "$work" 2>"$work/session.log" \
    || { cat "$work/session.log"; exit 1; }
