# Sourced by the playback tests and the sound benchmark: a PulseAudio server of their own, with
# a null sink "caller" as its only device, in a private runtime folder, so nothing reaches or
# depends on a desktop's sound server. The sink's monitor "caller.monitor" records what it plays.
#   start_pulse FOLDER [--sleepy]   starts it and points this shell's clients at it; --sleepy
#                        lets the sink sleep after 1 s with no stream playing, as a desktop's
#                        server does after 5 s, and starts no reader of its monitor
#   sink_states FILE     appends "MS STATE MS" to FILE every 0.1 s: the sink's state, seen
#                        between the two times by the clock
#   check_kept_awake STATES PRINTED [WHAT]   from those states and a player's "+awake at MS" and
#                        "-awake at MS" lines: checks that the sink never slept from 0.5 s after
#                        calling started until it stopped, and slept within 4 s after it stopped
#                        (a 1 s pause cue and 3 s); WHAT names the case
#   stop_pulse           ends it and the processes started with it
#   start_recording FILE / stop_recording   record the monitor, 22050 Hz mono 16-bit raw
#   peak FILE            the loudest sample of a recording, as a fraction of full scale
#   span FILE            seconds from its first to its last audible sample; keeps them in FILE.span.wav
#   pitch FILE TRIM...   the rough frequency of FILE.span.wav, trimmed as sox's trim takes it
#   between VALUE LOW HIGH   whether LOW <= VALUE <= HIGH
#   check WHAT CONDITION...  prints PASS or FAIL for WHAT, and counts the failures in $failures

pulse_pids=()

start_pulse() {
    local folder=$1 sleepy=false
    [ "${2:-}" = --sleepy ] && sleepy=true
    mkdir -p "$folder/run" "$folder/home"
    chmod 700 "$folder/run"
    export XDG_RUNTIME_DIR=$folder/run HOME=$folder/home PULSE_SERVER=unix:$folder/run/native
    local modules=(-L "module-null-sink sink_name=caller"
                   -L "module-native-protocol-unix socket=$folder/run/native auth-anonymous=1")
    $sleepy && modules+=(-L "module-suspend-on-idle timeout=1")
    # --system=false lets root run a server of its own; -n loads only the modules named.
    pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=false \
        --log-target=file:"$folder/pulseaudio.log" "${modules[@]}" &
    pulse_pids+=($!)
    local tries
    for tries in $(seq 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! pactl info >/dev/null 2>&1; then
        echo "PulseAudio did not start:" >&2
        cat "$folder/pulseaudio.log" >&2
        return 1
    fi
    $sleepy && return 0
    # A null sink plays in blocks of up to 2 s until some client asks for less; this reader of
    # its monitor keeps it prompt, as a sound card is. It takes a block to come into force.
    parec -d caller.monitor --latency-msec=10 --raw >/dev/null 2>&1 &
    pulse_pids+=($!)
    sleep 2.5
}

# A state counts for a time only if it was seen wholly inside it: pactl can take a while on a
# busy machine, and a state seen after calling stopped is no state while calling.
check_kept_awake() {
    local began paused asleep_calling asleep_after what=${3:+$3: }
    read -r began paused < <(tr -d '\r' <"$2" | awk '$2 == "at" { at[$1] = $3 } END { print at["+awake"], at["-awake"] }')
    read -r asleep_calling asleep_after < <(awk -v a="$began" -v b="$paused" '
        $1 >= a + 500 && $3 <= b && $2 == "SUSPENDED" { n++ }
        $1 > b && $2 == "SUSPENDED" && !after { after = $3 }
        END { print n + 0, after ? (after - b) / 1000 : "never" }' "$1")
    check "${what}while calling the sink never sleeps ($asleep_calling samples asleep)" \
        test "$asleep_calling" -eq 0
    check "${what}once calling stops it sleeps within 4 s, a pause cue's 1 s and 3 s ($asleep_after s after calling stopped)" \
        test "$asleep_after" != never -a "$(between "$asleep_after" 0 4 && echo yes)" = yes
}

sink_states() {
    local seen
    while sleep 0.1; do
        seen=$(( $(date +%s%N) / 1000000 ))
        echo "$seen $(pactl list short sinks 2>/dev/null | awk '$2 == "caller" { print $NF }') $(( $(date +%s%N) / 1000000 ))"
    done >>"$1"
}

stop_pulse() {
    local i pid
    stop_recording
    for ((i = ${#pulse_pids[@]} - 1; i >= 0; i--)); do
        pid=${pulse_pids[i]}
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pulse_pids=()
}

recorder_pid=''
recording_format=(-t raw -r 22050 -e signed -b 16 -c 1)

start_recording() {
    parec -d caller.monitor --latency-msec=10 --raw --format=s16le --rate=22050 --channels=1 >"$1" &
    recorder_pid=$!
    sleep 0.3
}

stop_recording() {
    sleep 0.3
    [ -z "$recorder_pid" ] && return 0
    kill "$recorder_pid" 2>/dev/null || true
    wait "$recorder_pid" 2>/dev/null || true
    recorder_pid=''
}

peak() { sox "${recording_format[@]}" "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ { print $3 }'; }

span() {
    sox "${recording_format[@]}" "$1" "$1.span.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
    soxi -D "$1.span.wav"
}

pitch() {
    local file=$1
    shift
    sox "$file.span.wav" -n trim "$@" stat 2>&1 | awk '/^Rough +frequency/ { print $3 }'
}

between() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "PASS: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
