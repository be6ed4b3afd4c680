# Sourced by the tests that run the caller on a display, as on a desktop: a virtual display
# (Xvfb) of their own, so they neither need nor disturb a desktop.
#   start_display FOLDER   starts it, keeps its log in FOLDER, and points Qt at it
#   stop_display           ends it

xvfb_pid=''

start_display() {
    exec {display_fd}< <(exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>"$1/xvfb.log")
    xvfb_pid=$!
    local display
    read -r -u "$display_fd" display || { cat "$1/xvfb.log" >&2; return 1; }
    export DISPLAY=:$display QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    # libxkbcommon-x11 copies X atom names, which have no terminating zero, with strndup: a read
    # that strict_string_checks reports, though strndup never reads past the length it is given.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}intercept_strndup=0"
}

stop_display() {
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=''
}
