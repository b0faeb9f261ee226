#!/usr/bin/env bash
# The Wine prefix that the VM of the "hid" layer lays an overlay on: made on the host,
# where Wine starts quickly, once per Wine version.
#   Enable SDL = 0: Wine's udev bus (hidraw) runs only without its SDL bus.
#   ShowCrashDialog = 0: a crash ends the program with its backtrace on
#   standard error instead of a dialog nobody answers.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=$(realpath -m "$1")
stamp="$(wine --version 2>/dev/null) 3"
[ -f "$prefix/.korelle-hid" ] && [ "$(cat "$prefix/.korelle-hid")" = "$stamp" ] && exit 0
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all
"$here/wine-run" cmd /c exit >/dev/null 2>&1 || true
key='HKLM\System\CurrentControlSet\Services\winebus'
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add "$key" /v "Enable SDL" /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w
echo "$stamp" >"$prefix/.korelle-hid"
