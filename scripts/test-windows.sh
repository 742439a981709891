#!/usr/bin/env bash
# Builds the support library and its tests for Windows with MinGW-w64 into build-windows/ and runs
# them under Wine. Wine run by root ignores read-only files, so as root the tests run as the
# unprivileged user quillsheet-wine (created when missing).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make googletest g++-mingw-w64-x86-64-posix wine64)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

build=build-windows
cmake -S tests/windows -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Debug -DQUILLSHEET_WERROR=ON
cmake --build "$build" -j "$(nproc)"

run=()
if [ "$(id -u)" -eq 0 ]; then
    user=quillsheet-wine
    id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user"
    chown -R "$user:" "$build"
    run=(runuser -u "$user" --)
fi
prefix="$PWD/$build/wineprefix"
run+=(env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all WINEPREFIX="$prefix" WINEDLLOVERRIDES=mscoree,mshtml=)
# One Wine server for the whole run instead of one per test; a server left from an earlier run of
# this prefix goes first.
"${run[@]}" mkdir -p "$prefix"
"${run[@]}" wineserver --kill 2>/dev/null || true
"${run[@]}" wineserver --persistent
trap '"${run[@]}" wineserver --kill' EXIT
# Makes the prefix the first time and starts Wine's services, which stay as long as the server:
# started by the first test instead, they would hold CTest's output pipe open.
"${run[@]}" wineboot >"$build/wineboot.log" 2>&1
"${run[@]}" ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
