#!/usr/bin/env bash
# Builds the caller for 64-bit Windows on this Debian machine, runs its tests under Wine, and
# ships it into dist/: a zip to unzip anywhere and an installer, which is then tried under Wine.
# The first run also builds Qt for Windows (scripts/windows-qt.sh), which is kept for later runs.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$PWD

bash scripts/setup.sh windows
qt=$(bash scripts/windows-qt.sh | tail -n 1)
version=$(sed -n 's/^project(bingo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

echo "== Building the caller for Windows"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$qt" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_TESTING=ON "$@" >/dev/null
cmake --build build-windows

echo "== Testing the Windows program under Wine"
(cd build-windows && ctest --output-on-failure)

echo "== Shipping into dist/"
name=bingo-caller-$version
stage=build-windows/stage/$name
rm -rf build-windows/stage dist/"$name"-windows.zip dist/"$name"-setup.exe
mkdir -p dist
cmake --install build-windows --prefix "$stage" >/dev/null
(cd build-windows/stage && cmake -E tar cf "$here/dist/$name-windows.zip" --format=zip "$name")
# Both voices are in the zip: the plain calls beside the program, the traditional ones in traditional\.
for voice in "" traditional/; do
    count=$(cmake -E tar tf "dist/$name-windows.zip" | grep -cxE "$name/$voice[0-9]+\.wav" || true)
    [[ $count -eq 90 ]] || { echo "the zip holds $count number calls in '$name/$voice', not 90" >&2; exit 1; }
done

# The installer installs, and its uninstaller removes, exactly the files of the program folder.
files=build-windows/installed-files.nsh
{
    echo '!macro InstallFiles'
    (cd "$stage" && find . -mindepth 1 -type d | sort) | while read -r dir; do
        echo "    CreateDirectory \"\$INSTDIR\\${dir#./}\""
    done | sed 's|/|\\|g'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        file=${file#./}
        echo "    File \"/oname=${file//\//\\}\" \"$here/$stage/$file\""
    done
    echo '!macroend'
    echo '!macro RemoveFiles'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        file=${file#./}
        echo "    Delete \"\$INSTDIR\\${file//\//\\}\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
        dir=${dir#./}
        echo "    RMDir \"\$INSTDIR\\${dir//\//\\}\""
    done
    echo '!macroend'
} > "$files"
makensis -V2 -DVERSION="$version" -DICON="$here/assets/icon.ico" -DFILES="$here/$files" \
    -DOUTFILE="$here/dist/$name-setup.exe" packaging/windows/bingo.nsi

echo "== Trying the installer under Wine"
bash tests/windows_installer_test.sh "dist/$name-setup.exe"

ls -l dist/"$name"-windows.zip dist/"$name"-setup.exe
