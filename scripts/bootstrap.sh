#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing.
# "bootstrap.sh hid" installs those of the real HID stack layer instead: the
# VM's kernel (with uhid), its busybox and the emulator that boots it.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick nsis
  libpugixml-dev googletest libgtest-dev libcairo2-dev libfontconfig-dev
  libhidapi-dev xsltproc chromium fonts-dejavu-core
)
if [ "${1:-}" = hid ]; then
  packages=(qemu-system-x86 linux-image-amd64 busybox-static cpio util-linux)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq </dev/null
$sudo apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
