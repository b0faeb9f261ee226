#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when any is missing,
# and generates the locales the language tests run Wine under.
# "bootstrap.sh hid" installs those of the real HID stack layer too, in the
# same round: the VM's kernel (with uhid), its busybox and the emulator that
# boots it.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick nsis
  libpugixml-dev googletest libgtest-dev libcairo2-dev libfontconfig-dev
  libhidapi-dev xsltproc chromium fonts-dejavu-core
  locales fonts-wqy-microhei
  fonts-liberation  # Liberation Mono, Wine's fixed-pitch face without Courier New; Liberation Sans for Cyrillic
)
# Wine takes a program's ANSI code page from its Unix locale: the language
# tests run German, French and Spanish under code page 1252, Russian under
# 1251 and Chinese under 936. Wine's own Tahoma has no Cyrillic: under 1251
# its GDI takes Liberation Sans for "MS Shell Dlg"; under 936 it takes
# WenQuanYi Micro Hei, which has the Chinese and the Latin glyphs (the
# fallback font alone has no Latin ones).
locales=(de_DE fr_FR es_ES ru_RU zh_CN)
if [ "${1:-}" = hid ]; then
  packages+=(qemu-system-x86 linux-image-amd64 busybox-static cpio util-linux)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  # (INITRD=No: the HID layer's VM boots with an initramfs of its own, so
  # the kernel package need not make one; that takes a while.)
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq </dev/null
  $sudo env DEBIAN_FRONTEND=noninteractive INITRD=No apt-get install -y -qq "${missing[@]}" </dev/null >/dev/null
fi

have=$(locale -a 2>/dev/null)
for l in "${locales[@]}"; do
  grep -qx "$l.utf8" <<<"$have" && continue
  echo "bootstrap: generating the locale $l.UTF-8"
  $sudo localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
