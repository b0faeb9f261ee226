#!/usr/bin/env bash
# Builds the Windows program folder and starts it under Wine on the emulated
# mouse (a factory-fresh state file in build/), on a virtual display when
# there is none, and saves a screenshot to build/screenshot.png. Until the
# main window is built, what runs is the string-table demo.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
trap cleanup EXIT

"$root/scripts/bootstrap.sh"
mkdir -p "$build_root"
build_windows

had_display=1
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || had_display=0
ensure_display
new_wine_prefix

# The emulated mouse, as it leaves the factory.
cmake --build "$build_root/native" -j "$jobs" --target korelle-mouse >/dev/null
"$build_root/native/emulator/korelle-mouse" create "$build_root/mouse.state" default "$dist" >/dev/null
export KORELLE_EMULATOR_STATE
KORELLE_EMULATOR_STATE=$(winepath -w "$build_root/mouse.state")

program="$build_root/mingw/tools/StringTableDemo.exe"
close_after=6000
[ $had_display -eq 1 ] && close_after=0

cd "$dist"
"$root/scripts/wine-run" "$program" --close-after "$close_after" &
pid=$!

# Wait for the window, then take the screenshot.
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Korelle string table"' && break
  sleep 0.1
done
sleep 1
import -window root "$build_root/screenshot.png"
echo "screenshot: $build_root/screenshot.png"
wait $pid
