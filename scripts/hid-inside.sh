#!/usr/bin/env bash
# Runs inside the VM of scripts/hid-vm.sh (as root in a chroot of the host's
# root, /tmp on tmpfs): the Quillon.dll suite and the Korelle.exe suite
# against korelle-uhid-mouse, with no emulator variable. Writes their
# GoogleTest reports to OUT.
#
#   scripts/hid-inside.sh OUT
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$1
build=$root/build
# Without the right to pass over file permissions, as a logged-in user runs:
# a hidraw node made read-only is then read-only for Wine too.
if [ -z "${KORELLE_HID_UNPRIVILEGED:-}" ]; then
  exec env KORELLE_HID_UNPRIVILEGED=1 setpriv --bounding-set=-dac_override,-dac_read_search \
    --inh-caps=-dac_override,-dac_read_search -- "$0" "$@"
fi
t0=$(date +%s)
stamp() { echo "hid: $1 at $(( $(date +%s) - t0 )) s"; }
# No debugger: a crashing Wine process ends instead of waiting for one.
export HOME=/tmp/home WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d'
mkdir -p "$HOME"
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

# The prefix prepared on the host (scripts/hid-prefix.sh): its registry
# copied, the rest linked.
cp -as "$build/hid-vm/prefix" /tmp/prefix && rm /tmp/prefix/*.reg && cp "$build/hid-vm/prefix/"*.reg /tmp/prefix/
export WINEPREFIX=/tmp/prefix
Xvfb :7 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:7
# Wine does not load a library from the 9p mount: the program folder and
# the tests run from tmpfs.
cp -r "$root/dist" /tmp/dist
cp "$build/mingw/tests/hid/quillon_hid_test.exe" /tmp/
stamp "prepared"

# Hands a device its command (see uhid_mouse/bridge.h) and waits until taken.
command_device() {  # control command
  printf '%s\n' "$2" >"$1.new" && mv "$1.new" "$1"
  for _ in $(seq 500); do [ -e "$1" ] || return 0; sleep 0.01; done
  echo "hid: the device did not take $2" >&2
}

# Wine 8 (no udev daemon, /dev watched) does not offer a device again once
# one went away, in the same session: every case that unplugs the mouse runs
# last in a Wine session of its own, on a device of its own.
state=/tmp/mouse/mouse.state
control=/tmp/mouse/control
start_session() {
  mkdir -p /tmp/mouse
  "$build/native/emulator/korelle-mouse" create "$state" blank --firmware 14 >/dev/null
  "$build/native/emulator/korelle-mouse" set "$state" hardware 3 >/dev/null
  "$build/native/uhid_mouse/korelle-uhid-mouse" "$state" --control "$control" &
  device=$!
  wineserver -p
}
end_session() {
  command_device "$control" quit
  wait "$device"
  cat "$state.trace" >>"$out/device.trace" 2>/dev/null
  wineserver -k
  wineserver -w
  sleep 1
}
quillon_suite() {  # filter report
  KORELLE_DIST=/tmp/dist KORELLE_HID_STATE=$(winpath "$state") KORELLE_HID_CONTROL=$(winpath "$control") \
    wine /tmp/quillon_hid_test.exe --gtest_filter="$1" --gtest_output="xml:$(winpath "$out/$2.xml")" >"$out/$2.log" 2>&1
  echo "hid: Quillon.dll $1 ended with $?"
  stamp "Quillon.dll $1 done"
}

# Under load, Wine sometimes never offers the mouse in a new session (seen:
# not within 290 s), and every case of the session then fails. The session
# is started again, up to three times, until Quillon.dll finds the mouse.
start_session_with_mouse() {
  local attempt
  for attempt in 1 2 3; do
    start_session
    KORELLE_DIST=/tmp/dist KORELLE_HID_STATE=$(winpath "$state") KORELLE_HID_CONTROL=$(winpath "$control") \
      wine /tmp/quillon_hid_test.exe --gtest_filter=RealStack.FindsTheMouseByVendorAndProductOnly \
      >"$out/session-$attempt.log" 2>&1 && { stamp "mouse offered in session attempt $attempt"; return 0; }
    stamp "no mouse in session attempt $attempt"
    end_session
  done
  return 1
}

start_session_with_mouse
quillon_suite 'RealStack.Finds*:RealStack.Every*:RealStack.*NeverAnswered*' quillon-hid
KORELLE_DIST=/tmp/dist KORELLE_WINDOWS_BUILD="$build/mingw" KORELLE_E2E_OUT="$out/screens" \
KORELLE_HID_DEVICE_STATE=$state KORELLE_HID_DEVICE_CONTROL=$control \
  "$build/native/tests/hid/hid_e2e_test" --gtest_output="xml:$out/korelle-hid.xml" >"$out/korelle-hid.log" 2>&1
echo "hid: Korelle.exe suite ended with $?"
stamp "Korelle.exe suite done"
end_session

start_session_with_mouse
KORELLE_HID_DEVICE_STATE=$state KORELLE_HID_DEVICE_CONTROL=$control \
  "$build/native/tests/cli/cli_hid_test" --gtest_output="xml:$out/cli-hid.xml" >"$out/cli-hid.log" 2>&1
echo "hid: korelle-cli suite ended with $?"
stamp "korelle-cli suite done"
end_session

start_session_with_mouse
quillon_suite RealStack.UnplugBetweenReports quillon-hid-unplug
end_session

start_session_with_mouse
quillon_suite RealStack.AReadOnlyNodeIsNoMouse quillon-hid-last
end_session

kill "$xvfb" 2>/dev/null
exit 0
