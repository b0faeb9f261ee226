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
# As on a desktop, the udev daemon announces the mouse's node to Wine, with
# our rule (assets/linux/70-korelle-mouse.rules) in force. It runs as root;
# everything else runs without the right to pass over file permissions, as a
# logged-in user does: a hidraw node made read-only is then read-only for
# Wine too.
if [ -z "${KORELLE_HID_UNPRIVILEGED:-}" ]; then
  mkdir -p /run/udev/rules.d
  cp "$root/assets/linux/70-korelle-mouse.rules" /run/udev/rules.d/
  /lib/systemd/systemd-udevd --daemon || echo "hid: no udev daemon" >&2
  # The prefix prepared on the host (scripts/hid-prefix.sh), writable here
  # through an overlay on tmpfs.
  mkdir -p /tmp/prefix /tmp/prefix-changes/upper /tmp/prefix-changes/work
  mount -t overlay overlay -o lowerdir="$root/build/hid-vm/prefix",upperdir=/tmp/prefix-changes/upper,workdir=/tmp/prefix-changes/work /tmp/prefix ||
    { echo "hid: no overlay; the prefix is copied" >&2; cp -a "$root/build/hid-vm/prefix/." /tmp/prefix/; }
  exec env KORELLE_HID_UNPRIVILEGED=1 setpriv --bounding-set=-dac_override,-dac_read_search \
    --inh-caps=-dac_override,-dac_read_search -- "$0" "$@"
fi
t0=$(date +%s)
stamp() { echo "hid: $1 at $(( $(date +%s) - t0 )) s"; }
# No debugger: a crashing Wine process ends instead of waiting for one.
export HOME=/tmp/home WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=,winemenubuilder.exe=d,winedbg.exe=d'
mkdir -p "$HOME"
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

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

state=/tmp/mouse/mouse.state
control=/tmp/mouse/control
# A blank mouse of firmware 14 and hardware 3, as at power-up.
new_memory() {
  "$build/native/emulator/korelle-mouse" create "$state" blank --firmware 14 >/dev/null
  "$build/native/emulator/korelle-mouse" set "$state" hardware 3 >/dev/null
}
# Waits until the udev daemon has handled the mouse's node (its rule applied).
wait_udev() {
  local node
  for _ in $(seq 300); do
    for node in /dev/hidraw*; do
      udevadm info --query=property --name="$node" 2>/dev/null | grep -q '^TAGS=.*:uaccess:' && return 0
    done
    sleep 0.1
  done
  echo "hid: the udev daemon did not handle the mouse's node" >&2
}
# A device and a Wine session; "read-only": the node is made read-only
# before Wine starts.
start_session() {
  mkdir -p /tmp/mouse
  new_memory
  "$build/native/uhid_mouse/korelle-uhid-mouse" "$state" --control "$control" &
  device=$!
  wait_udev
  [ "${1:-}" = read-only ] && command_device "$control" read-only
  wineserver -p
  # Wine can close the session's desktop between two programs (and under a
  # program just starting) when too few threads are counted on it; a driver
  # holding it keeps it open for the whole session.
  wine "$build/mingw/tests/e2e/korelle-driver.exe" hold-desktop >/dev/null 2>&1 &
  holder=$!
}
end_session() {
  kill "$holder" 2>/dev/null
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

# Every case in one Wine session: Wine offers a replugged mouse again.
start_session_with_mouse
quillon_suite 'RealStack.*' quillon-hid
KORELLE_DIST=/tmp/dist KORELLE_WINDOWS_BUILD="$build/mingw" KORELLE_E2E_OUT="$out/screens" \
KORELLE_HID_DEVICE_STATE=$state KORELLE_HID_DEVICE_CONTROL=$control \
  stdbuf -oL "$build/native/tests/hid/hid_e2e_test" --gtest_output="xml:$out/korelle-hid.xml" >"$out/korelle-hid.log" 2>&1
echo "hid: Korelle.exe suite ended with $?"
stamp "Korelle.exe suite done"
# The Linux tool starts from a blank mouse.
new_memory
command_device "$control" reload
KORELLE_HID_DEVICE_STATE=$state KORELLE_HID_DEVICE_CONTROL=$control \
  "$build/native/tests/cli/cli_hid_test" --gtest_output="xml:$out/cli-hid.xml" >"$out/cli-hid.log" 2>&1
echo "hid: korelle-cli suite ended with $?"
stamp "korelle-cli suite done"
end_session

# A node the user cannot write must be so when Wine starts: a session of its own.
start_session read-only
quillon_suite 'ReadOnlyNode.*' quillon-hid-read-only
end_session

kill "$xvfb" 2>/dev/null
exit 0
