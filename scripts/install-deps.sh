#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those
# that are missing, so that a second run costs a dpkg query and nothing more.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  fonts-wqy-microhei
  # fuzzing (./fuzz.sh): clang, its libFuzzer and sanitizer runtimes, and
  # llvm-symbolizer for readable reports
  clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
