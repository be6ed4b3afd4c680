#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's own qt6-base source, the same Qt version the Linux
# build uses, with only what the caller and its tests need. The result lives outside the tree,
# in BINGO_WINDOWS_QT_CACHE (default ~/.cache/bingo-caller), is reused while its inputs are the
# same, and its folder is printed on the last line.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

cache=${BINGO_WINDOWS_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/bingo-caller}
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
toolchain=$here/cmake/mingw-w64-x86_64.cmake

configure_options=(
    -release -opensource -confirm-license -shared
    -nomake examples -nomake tests
    -qt-host-path /usr
    -no-opengl -no-dbus -no-icu -no-feature-tabletevent
    -no-feature-sql -no-feature-printsupport
    -no-feature-concurrent -no-feature-xml -no-openssl
    -qt-zlib -qt-libpng -qt-pcre -qt-harfbuzz -qt-freetype -no-libjpeg
)
key=$( { echo "$version"; printf '%s\n' "${configure_options[@]}"; cat "$toolchain";
         x86_64-w64-mingw32-g++-posix --version | head -n 1; } | sha256sum | cut -c1-16)
prefix=$cache/qt-$version-mingw-$key

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$cache/qt-source-$key
rm -rf "$work" "$prefix"
mkdir -p "$work/lists/partial"
cd "$work"

# A private sources list with the machine's own archive and a deb-src line, so that the
# system's apt configuration is left as it was.
archive=$(apt-get indextargets --format '$(REPO_URI)' 'Created-By: Packages' 2>/dev/null \
          | grep -m1 -E '/debian/?$' || true)
archive=${archive:-http://deb.debian.org/debian/}
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src ${archive%/} $suite main" > sources.list
apt_private=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o Dir::State::Lists="$work/lists")
# apt's download user cannot write into a private folder under root's home.
[ "$(id -u)" -ne 0 ] || apt_private+=(-o APT::Sandbox::User=root)
echo "Fetching the source of qt6-base $version"
apt-get "${apt_private[@]}" update -qq
apt-get "${apt_private[@]}" source -qq --download-only "qt6-base=$version"
dpkg-source -x qt6-base_*.dsc source >/dev/null 2>&1

mkdir build
cd build
../source/configure -prefix "$prefix" "${configure_options[@]}" -- \
    -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    > "$work/configure.log" 2>&1 || { tail -n 60 "$work/configure.log"; exit 1; }
echo "Building Qt $version for Windows into $prefix (about 20 minutes on 2 cores; log: $work/build.log)"
cmake --build . --parallel "$(nproc)" > "$work/build.log" 2>&1 || { tail -n 60 "$work/build.log"; exit 1; }
cmake --install . >/dev/null
touch "$prefix/.complete"
cd /
rm -rf "$work"
echo "$prefix"
