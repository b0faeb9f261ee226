#!/usr/bin/env bash
# Builds the Windows program folder and starts it under Wine on the emulated
# mouse (a factory-fresh state file in build/), on a virtual display when
# there is none, and saves a screenshot of the main window to
# build/screenshot.png. On a virtual display the program is closed after the
# screenshot; on a real one it runs until the user closes it.
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

driver="$build_root/mingw/tests/e2e/korelle-driver.exe"
cd "$dist"
"$root/scripts/wine-run" "$dist/Korelle.exe" &
pid=$!

# Wait for the main window, let the logo and the labels settle, take the
# screenshot.
"$root/scripts/wine-run" "$driver" wait @1182 shown 60000 >/dev/null
sleep 1
import -window root "$build_root/screenshot.png"
echo "screenshot: $build_root/screenshot.png"
[ $had_display -eq 0 ] && "$root/scripts/wine-run" "$driver" quit 10000 >/dev/null
wait $pid
