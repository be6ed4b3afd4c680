#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian package with scripts/package-deb.sh (lintian included), installs it on
# this machine with apt, and starts the installed caller offscreen the way its menu entry
# does: the entry's Exec= command in the entry's Path= folder. The caller plays
# "welcome.wav" by plain name as its splash window opens, so it has found its wave files
# when that file is opened, read-only, from the installed voice folder; strace watches for
# it; the traditional entry starts the same program in a folder of the traditional calls. A
# PulseAudio server with a null sink stands in for the desktop's sound server. Then the
# package is purged, and every path it installed has to be gone.
#
# Usage: package_test.sh [DEB]   with DEB, tests that package file instead of building one.
#
# Needs root (or sudo). Installs strace and pulseaudio when missing. Refuses to run when
# bingo-caller is installed already, so as never to remove a host's own copy.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cd "$source_dir"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
apt_get=(env DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -y -qq -o DPkg::Lock::Timeout=600)
app_id=example.bingocaller.Bingo
entry=/usr/share/applications/$app_id.desktop
start=$SECONDS

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if [[ $# -ge 1 ]]; then
    deb=$(realpath "$1")
else
    bash scripts/package-deb.sh
    deb=$source_dir/dist/bingo-caller_$(dpkg-parsechangelog -S Version)_$(dpkg --print-architecture).deb
fi
[[ -f $deb ]] || { echo "no package $deb" >&2; exit 1; }
build_seconds=$((SECONDS - start))

if dpkg-query -W -f='${db:Status-Status}' bingo-caller 2>/dev/null | grep -qv '^not-installed$'; then
    echo "bingo-caller is installed on this machine already; purge it first (apt purge bingo-caller)" >&2
    exit 1
fi
for path in /usr/share/bingo-caller /usr/share/doc/bingo-caller; do
    [[ ! -e $path ]] || { echo "$path is there before the package is installed; remove it first" >&2; exit 1; }
done
bash scripts/setup.sh strace pulseaudio

scratch=$(mktemp -d)
caller=""
pulse=""
cleanup() {
    if [[ -n $caller ]]; then
        # shellcheck disable=SC2046  # the caller, strace's only child, then strace
        kill $(cat "/proc/$caller/task/$caller/children" 2>/dev/null) "$caller" 2>/dev/null || true
    fi
    [[ -z $pulse ]] || kill "$pulse" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$scratch"
    if dpkg-query -W -f='${db:Status-Status}' bingo-caller 2>/dev/null | grep -qv '^not-installed$'; then
        "${apt_get[@]}" purge bingo-caller >/dev/null || true
    fi
}
trap cleanup EXIT

# --- Install, as a host would: apt brings in what the package depends on.
"${apt_get[@]}" install "$deb" >"$scratch/install.log" || { cat "$scratch/install.log"; exit 1; }
dpkg -L bingo-caller | sort >"$scratch/installed"

voice=$(sed -n 's/^Path=//p' "$entry")
exec_line=$(sed -n 's/^Exec=//p' "$entry" | head -n 1)
[[ -n $voice && -d $voice ]] || fail "the desktop entry's Path= '$voice' is no folder"
cards_page=$(sed -n 's/^Exec=xdg-open //p' "$entry")
grep -qxF "$cards_page" "$scratch/installed" \
    || fail "the entry's action \"Print bingo cards\" opens '$cards_page', which the package does not hold"
missing=""
for n in $(seq 1 90) welcome; do
    grep -qxF "$voice/$n.wav" "$scratch/installed" || missing+=" $n.wav"
done
[[ -z $missing ]] || fail "the package has no$missing in $voice"
# The traditional launcher: the same program in a folder of the traditional calls, not the plain.
traditional=$(sed -n 's/^Path=//p' "${entry%.desktop}.Traditional.desktop" 2>/dev/null)
[[ $(sed -n 's/^Exec=//p' "${entry%.desktop}.Traditional.desktop" 2>/dev/null) == "$exec_line" ]] \
    || fail "the traditional entry does not start the program the main entry starts"
missing=""
for n in $(seq 1 90); do
    grep -qxF "$traditional/$n.wav" "$scratch/installed" || missing+=" $n.wav"
done
[[ -n $traditional && -z $missing ]] || fail "the traditional entry's folder '$traditional' lacks$missing"
! cmp -s "$voice/22.wav" "$traditional/22.wav" || fail "the traditional entry's 22.wav is the plain call"
for path in /usr/share/bingo-caller/web/cards/index.html /usr/share/metainfo/$app_id.metainfo.xml \
            /usr/share/man/man6/bingo.6.gz; do
    grep -qxF "$path" "$scratch/installed" || fail "the package has no $path"
done

# --- Start the installed caller from its menu entry and watch what it opens.
mkdir "$scratch/pulse" "$scratch/home"
PULSE_RUNTIME_PATH=$scratch/pulse HOME=$scratch/home pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --log-target=file:"$scratch/pulse.log" \
    --load=module-null-sink --load="module-native-protocol-unix socket=$scratch/pulse/native" &
pulse=$!
for _ in $(seq 50); do [[ -S $scratch/pulse/native ]] && break; sleep 0.1; done
[[ -S $scratch/pulse/native ]] || { cat "$scratch/pulse.log"; echo "the sound server did not start" >&2; exit 1; }

trace=$scratch/openat.log
(
    cd "$voice"
    # shellcheck disable=SC2086  # the entry's command line, split as a launcher splits it
    exec env QT_QPA_PLATFORM=offscreen PULSE_SERVER="unix:$scratch/pulse/native" HOME="$scratch/home" \
        strace -f -qq -o "$trace" -e trace=openat -e status=successful $exec_line
) >"$scratch/caller.log" 2>&1 &
caller=$!
opened=""
for _ in $(seq 150); do
    opened=$(grep -oE "\"($voice/)?welcome\\.wav\", O_RDONLY" "$trace" 2>/dev/null | head -n 1 || true)
    [[ -n $opened ]] && break
    kill -0 "$caller" 2>/dev/null || break
    sleep 0.1
done
sleep 2
# strace runs the caller as its child; ending the caller ends strace.
program=$(cat "/proc/$caller/task/$caller/children" 2>/dev/null || true)
program=${program%% *}
if [[ -n $program ]]; then
    kill "$program"
    wait "$caller" 2>/dev/null || true
    caller=""
else
    fail "the installed caller stopped by itself: $(cat "$scratch/caller.log")"
fi
if [[ -n $opened ]]; then
    echo "the installed caller, started in $voice, opened $opened"
else
    fail "the installed caller never opened welcome.wav from $voice; what it opened:"
    grep -F '.wav' "$trace" >&2 || echo "  no wave file at all" >&2
fi

# --- Purge, and look for anything left behind.
"${apt_get[@]}" purge bingo-caller >"$scratch/purge.log" || { cat "$scratch/purge.log"; exit 1; }
[[ $(dpkg-query -W -f='${db:Status-Status}' bingo-caller 2>/dev/null || echo not-installed) == not-installed ]] \
    || fail "dpkg still knows bingo-caller after the purge"
while IFS= read -r path; do
    if [[ -d $path && ! -L $path ]]; then
        # A folder stays when another package owns it or it holds others' files.
        if [[ -z $(ls -A "$path") ]] && ! dpkg-query -S "$path" >/dev/null 2>&1; then
            fail "the empty folder $path was left behind"
        fi
    elif [[ -e $path || -L $path ]]; then
        fail "$path was left behind"
    fi
done <"$scratch/installed"
for path in /usr/share/bingo-caller /usr/share/doc/bingo-caller; do
    [[ ! -e $path ]] || fail "$path was left behind"
done

if [[ $failures -ne 0 ]]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed, started, found its wave files, purged without a trace:" \
     "$(wc -l <"$scratch/installed") paths; $((SECONDS - start)) s in all, $build_seconds s of it building"
