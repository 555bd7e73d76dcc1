#!/usr/bin/env bash
# The Windows check: builds the Qt-free libraries (frames, plans, commands,
# learning tables, the configuration file, the GBK codec) and their tests
# with Debian's MinGW-w64 cross compiler, and runs every test under Wine.
# Installs what is missing; the exit status is the verdict.
#
# Everything stays in build/mingw: GoogleTest built from Debian's sources
# (_deps), a Wine prefix of its own (_wine), the build itself. Nothing of the
# user's own Wine setup is touched.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
build=$root/build/mingw
toolchain=$root/cmake/mingw-w64-x86_64.cmake

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine wine64)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# GoogleTest for Windows, from the sources Debian ships; rebuilt only when
# Debian's version changes.
gtest_version=$(dpkg-query -W -f='${Version}' googletest)
gtest_prefix=$build/_deps/googletest
gtest_stamp=$gtest_prefix/debian-version
if [ "$(cat "$gtest_stamp" 2>/dev/null)" != "$gtest_version" ]; then
  echo "Building GoogleTest $gtest_version for MinGW-w64" >&2
  rm -rf "$build/_deps/googletest-build" "$gtest_prefix"
  cmake -S /usr/src/googletest -B "$build/_deps/googletest-build" -G Ninja \
    --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest_prefix" >/dev/null
  cmake --build "$build/_deps/googletest-build"
  cmake --install "$build/_deps/googletest-build" >/dev/null
  echo "$gtest_version" >"$gtest_stamp"
fi

# A Wine prefix of our own, without a display and without the offers to
# install Mono and Gecko, which no test needs.
export WINEPREFIX=$build/_wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX" >&2
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
  [ -f "$WINEPREFIX/system.reg" ] || { echo "Wine could not prepare $WINEPREFIX" >&2; exit 1; }
fi

[ -f "$build/CMakeCache.txt" ] || cmake --preset mingw >/dev/null
cmake --build --preset mingw

# One Wine session for the whole run instead of one per test program. Its
# first program starts Wine's own services, which keep the output handles
# they were given: start them here with no output, or the first test whose
# output CTest reads would wait for them to end.
trap 'wineserver --kill 2>/dev/null || true' EXIT
wineserver --persistent
wine cmd /c exit </dev/null >/dev/null 2>&1
ctest --preset mingw -j 2
