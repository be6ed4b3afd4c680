#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian package of the caller from a clean copy of the working tree, checks it
# with lintian, appstreamcli and desktop-file-validate, and puts it into dist/:
#
#   dist/bingo-caller_<version>_<arch>.deb   with its debug symbols, .buildinfo and .changes
#
# Installs what it needs first: the packaging tools, and the build's own needs as
# debian/control lists them. The package build runs the tests unless DEB_BUILD_OPTIONS
# has nocheck; without a parallel= option there it builds on every core. Fails when
# lintian reports an error or a warning that no override explains.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

bash scripts/setup.sh dpkg-dev debhelper lintian appstream desktop-file-utils
if ! dpkg-checkbuilddeps >/dev/null 2>&1; then
    echo "Installing the build dependencies from debian/control"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get build-dep -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=600 ./
fi

version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
deb=bingo-caller_${version}_${arch}.deb
if [[ ${DEB_BUILD_OPTIONS:-} != *parallel=* ]]; then
    DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)"
fi
export DEB_BUILD_OPTIONS

# The package is built from a copy holding only the project's own files: no build folders,
# no earlier package build, nothing git ignores.
work=build-deb
tree=$work/bingo-caller-$upstream
rm -rf "$work"
mkdir -p "$tree"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard \
        | while IFS= read -r -d '' file; do [[ -e $file ]] && printf '%s\0' "$file"; done \
        | tar --null -T - -cf - | tar -xf - -C "$tree"
else
    tar --exclude='./build*' --exclude=./dist --exclude='./obj-*' -cf - . | tar -xf - -C "$tree"
fi

echo "Building $deb (DEB_BUILD_OPTIONS=$DEB_BUILD_OPTIONS)"
log=$work/package-build.log
start=$SECONDS
if ! (cd "$tree" && nice dpkg-buildpackage -us -uc -b) >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "The package build failed; its whole output is in $log" >&2
    exit 1
fi
grep -E '^(100% tests passed|[0-9]+% tests passed|Total Test time)' "$log" || true
echo "Built in $((SECONDS - start)) s; the build's output is in $log"

mkdir -p dist
rm -f dist/bingo-caller_* dist/bingo-caller-dbgsym_*
# The .changes names the debug symbols package too.
cp "$work"/*_"${version}"_"${arch}".{deb,buildinfo,changes} dist/

echo "--- lintian"
lintian --display-info --fail-on error,warning "dist/bingo-caller_${version}_${arch}.changes"
echo "lintian: no errors, no warnings"

# The description for software centres and the menu entry, as the package installs them.
contents=$work/contents
dpkg-deb -x "dist/$deb" "$contents"
echo "--- appstreamcli validate --no-net"
appstreamcli validate --no-net "$contents"/usr/share/metainfo/*.metainfo.xml
echo "--- desktop-file-validate"
desktop-file-validate "$contents"/usr/share/applications/*.desktop
echo "desktop-file-validate: no complaints"

echo "--- dist/$deb: $(stat -c %s "dist/$deb") bytes," \
     "$(dpkg-deb -f "dist/$deb" Installed-Size) KiB installed"
echo "Install it with: apt install ./dist/$deb"
