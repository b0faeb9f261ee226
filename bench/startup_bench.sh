#!/usr/bin/env bash
# Start-up time to the first visible window (the main window, on the
# emulated mouse holding the shipped defaults, so the checksums agree) and
# peak working set of Korelle.exe against the smallest Win32 program that
# shows one window, both under the same Wine prefix and display, several
# times each; then the program's CPU use over 10 s left alone with the logo
# animating. Run after the Windows build (scripts/test.sh or scripts/run.sh
# has made dist/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
trap cleanup EXIT
ensure_display
new_wine_prefix
driver="$build_root/mingw/tests/e2e/korelle-driver.exe"
minimal="$build_root/mingw/tests/e2e/minimal-window.exe"
cmake --build "$build_root/native" -j "$jobs" --target korelle-mouse >/dev/null
state="$build_root/bench-mouse.state"
"$build_root/native/emulator/korelle-mouse" create "$state" default "$dist" >/dev/null
export KORELLE_EMULATOR_STATE
KORELLE_EMULATOR_STATE=$(winepath -w "$state")
cd "$dist"
"$root/scripts/wine-run" "$driver" launch-stats "$(winepath -w "$minimal")" 30000 >/dev/null  # warm the prefix
for run in 1 2 3 4 5; do
  echo "minimal  $("$root/scripts/wine-run" "$driver" launch-stats "$(winepath -w "$minimal")" 30000)"
  echo "Korelle  $("$root/scripts/wine-run" "$driver" launch-stats "$(winepath -w "$dist/Korelle.exe")" 30000)"
done

# CPU time of the running program (user + system, from /proc: Wine does not
# report another process's times) over 10 s left alone, logo animating.
"$root/scripts/wine-run" "$dist/Korelle.exe" &
program=$!
"$root/scripts/wine-run" "$driver" wait @1182 shown 30000 >/dev/null
sleep 2
pid=$(pgrep -f "^$dist/Korelle.exe" | head -1)
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
echo "Korelle idle over 10 s: $(awk -v t=$((after - before)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f%% of one core", 100 * t / hz / 10 }')"
"$root/scripts/wine-run" "$driver" quit 10000 >/dev/null
wait $program
