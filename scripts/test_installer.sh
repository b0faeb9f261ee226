#!/usr/bin/env bash
# The installer layer of the test command: the installer and the portable
# zip of build/package/ used as a Windows user uses them, in a fresh Wine
# prefix. Installs silently, checks the files, the Start-menu shortcut, the
# uninstall entry and the language; starts the installed program through
# the shortcut's target and working folder on the emulated mouse, applies a
# change and saves a named configuration through the advanced settings;
# reinstalls and installs a newer build over it; uninstalls. What the user
# made must survive all of it.
#
# Needs the Windows build and its packages (scripts/common.sh build_windows),
# korelle-driver.exe and install-probe.exe, and the native korelle-mouse.
# Prints "ok - CASE" or "FAIL - CASE" per case and ends with
# "installer: N passed, N failed"; exits non-zero when a case failed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

pass=0
fail=0
check() {  # case-name command...
  local name=$1; shift
  if "$@"; then echo "ok - $name"; pass=$((pass + 1)); return 0; fi
  echo "FAIL - $name"
  fail=$((fail + 1))
  return 1
}
finish() {
  echo "installer: $pass passed, $fail failed"
  [ "$fail" -eq 0 ]
  exit
}

version=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$build_root/mingw/generated/korelle_version.nsh")
setup="$build_root/package/Korelle-$version-setup.exe"
zip="$build_root/package/Korelle-$version-portable.zip"
probe="$build_root/mingw/tests/installer/install-probe.exe"
driver="$build_root/mingw/tests/e2e/korelle-driver.exe"
mouse_tool="$build_root/native/emulator/korelle-mouse"
cmake --build "$build_root/native" -j "$jobs" --target korelle-mouse >/dev/null || { fail=1; finish; }
for f in "$setup" "$zip" "$probe" "$driver" "$mouse_tool"; do
  [ -f "$f" ] || { echo "missing: $f"; fail=1; finish; }
done

work=$(mktemp -d)
cleanup_all() {
  [ -n "${program_pid:-}" ] && kill -9 -- "-$program_pid" 2>/dev/null
  cleanup
  rm -rf "$work"
}
trap cleanup_all EXIT
trap 'exit 143' TERM INT
# A newer build, which brings Italian strings, packed meanwhile.
newer="$work/newer-dist"
cp -r "$dist" "$newer"
mkdir -p "$newer/String/Italian"
cp "$dist/String/English/Korelle.xml" "$newer/String/Italian/"
"$root/scripts/package.sh" --version 9.99 --quick "$newer" "$work/newer" >"$work/newer.log" 2>&1 &
newer_pid=$!

ensure_display || { fail=1; finish; }
# A fresh prefix; no desktop entries for the shortcuts it makes.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
new_wine_prefix
wineserver -p  # one server for the whole layer, ended by cleanup

wine_run() { "$root/scripts/wine-run" "$@"; }
drive() { wine_run "$driver" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
unix_path() { wine_run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korelle'
reg_value() {  # name: the uninstall entry's value, empty when missing
  wine_run reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v n="$1" '$1 == n { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }'
}
install() {  # installer [options...]: its exit code
  wine_run "$@" >/dev/null 2>&1
}
files_of() { (cd "$1" && find . -type f | sort); }
same_file() { cmp -s "$1" "$2"; }
language_of() { sed -n 's/^Language=\(.*\)$/\1/p' "$1/Setup.ini" | tr -d '\r'; }

# ---- the packages
zip_lists_program_folder() {
  mkdir -p "$work/zip" && (cd "$work/zip" && cmake -E tar xf "$zip") &&
    diff <(files_of "$dist") <(files_of "$work/zip/Korelle") >/dev/null &&
    same_file "$dist/Korelle.exe" "$work/zip/Korelle/Korelle.exe"
}
check "the portable zip holds the program folder as Korelle/" zip_lists_program_folder

binaries_carry_the_version() {
  local f out files=()
  for f in Korelle.exe Silvex.dll Quillon.dll Merrowin.dll; do files+=("$(sed 's|/|\\|g' <<<"Z:$dist/$f")"); done
  out=$(wine_run "$probe" version "${files[@]}" 2>/dev/null | tr -d '\r') || { echo "$out"; return 1; }
  for f in Korelle.exe Silvex.dll Quillon.dll Merrowin.dll; do
    # The lines of this file's block, from its "file=" line to the next.
    local block=$(awk -v f="$f" '/^file=/ { on = index($0, f) > 0 } on' <<<"$out")
    grep -qx "ProductName=Korelle" <<<"$block" && grep -qx "FileVersion=$version" <<<"$block" &&
      grep -qx "OriginalFilename=$f" <<<"$block" || { echo "$f: $block"; return 1; }
  done
}
check "the four binaries say product Korelle, file version $version" binaries_carry_the_version

# ---- a folder the program cannot use is refused
long='C:\users\Public\'$(printf 'k%.0s' $(seq 100))'\Korelle'
install "$setup" /S "/D=$long"; rc=$?
check "a program folder longer than 102 characters is refused" test $rc -eq 2 -a -z "$(reg_value DisplayName)"

# ---- first install, silent, without administrator rights
install "$setup" /S; rc=$?
check "the silent install succeeds" test $rc -eq 0
location=$(reg_value InstallLocation)
folder=$(unix_path "$location")
device="$folder/Database/VID7a3d_PID006a"
win_env() { wine_run cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
local_app_data=$(win_env LOCALAPPDATA)
check "it installs into the user's programs folder" test "${location,,}" = "${local_app_data,,}\\programs\\korelle"
installed_files_match() {
  diff <(files_of "$dist" | grep -v '^./Setup.ini$') \
       <(files_of "$folder" | grep -v -e '^./Setup.ini$' -e '^./Uninstall.exe$') &&
    same_file "$dist/Korelle.exe" "$folder/Korelle.exe" && [ -f "$folder/Uninstall.exe" ]
}
check "every file of the program folder is installed, and the uninstaller" installed_files_match
check "the system's language (English) is in Setup.ini" test "$(language_of "$folder")" = English

link="$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Korelle.lnk"
link_file=$(unix_path "$link")
shortcut=$(wine_run "$probe" shortcut "$link" 2>/dev/null | tr -d '\r')
target=$(sed -n 's/^target=//p' <<<"$shortcut")
workdir=$(sed -n 's/^workdir=//p' <<<"$shortcut")
check "the Start-menu shortcut starts Korelle.exe in the program folder" \
  test "$target" = "$location\\Korelle.exe" -a "$workdir" = "$location"
uninstall_entry_complete() {
  [ "$(reg_value DisplayName)" = Korelle ] && [ "$(reg_value DisplayVersion)" = "$version" ] &&
    [ "$(reg_value DisplayIcon)" = "$location\\Korelle.exe,0" ] &&
    [ "$(reg_value UninstallString)" = "\"$location\\Uninstall.exe\"" ]
}
check "the uninstall entry names Korelle, its version and icon, and the uninstaller" uninstall_entry_complete

# ---- the installed program, started as the shortcut starts it
"$mouse_tool" create "$work/mouse.state" default "$folder" >/dev/null
export KORELLE_EMULATOR_STATE=$(sed 's|/|\\|g' <<<"Z:$work/mouse.state")
run_dir=$(unix_path "$workdir")
(cd "$run_dir" && exec setsid "$root/scripts/wine-run" "$(unix_path "$target")" >/dev/null 2>&1) &
program_pid=$!
started=1
check "the installed program starts on the emulated mouse" drive wait @1182 shown 30000 || started=0
factory=$(cat "$dist/Database/VID7a3d_PID006a/__working.xml")
apply_a_change() {
  [ $started -eq 1 ] || return 1
  drive command @1182 1153 30000 >/dev/null && drive command @1182 1171 30000 >/dev/null || return 1
  local i
  for i in $(seq 100); do
    [ "$(cat "$device/__working.xml")" != "$factory" ] && return 0
    sleep 0.2
  done
  return 1
}
check "Apply writes the working file in the program folder" apply_a_change
save_configuration() {
  [ $started -eq 1 ] || return 1
  drive command @1182 1108 30000 && drive wait @1109 shown 30000 &&
    drive command @1109 1110 30000 && drive wait @1124 shown 30000 &&
    drive set-text @1124 1124 "Race Night" && drive command @1124 1116 30000 &&
    drive wait @1124 gone 30000 && [ -f "$device/Race Night.xml" ]
} >/dev/null
check "a named configuration is saved in the program folder" save_configuration
cp "$device/Race Night.xml" "$device/__working.xml" "$work/"

install "$setup" /S; rc=$?
check "the installer refuses to run while the program runs" test $rc -eq 3
program_ends() {
  [ $started -eq 1 ] && drive command @1109 1116 30000 >/dev/null
  drive quit 30000 >/dev/null
  local _
  for _ in $(seq 150); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -0 "$program_pid" 2>/dev/null && { kill -9 -- "-$program_pid"; wait "$program_pid"; return 1; }
  wait "$program_pid"
}
check "the program ends when asked" program_ends
program_pid=

user_files_kept() {
  same_file "$work/Race Night.xml" "$device/Race Night.xml" && same_file "$work/__working.xml" "$device/__working.xml"
}

# ---- reinstall with Italian chosen: no Italian strings, so English
# (the language dialog's choice is remembered in the uninstall entry,
# which a silent install takes).
wine_run reg add "$uninstall_key" /v InstallerLanguage /t REG_SZ /d 1040 /f >/dev/null 2>&1
install "$setup" /S; rc=$?
check "a reinstall succeeds" test $rc -eq 0
check "Italian chosen without Italian strings gives English" test "$(language_of "$folder")" = English
check "the reinstall keeps the working file and the saved configuration" user_files_kept

# ---- the newer build
wait "$newer_pid" || cat "$work/newer.log"
install "$work/newer/Korelle-9.99-setup.exe" /S; rc=$?
check "the newer build installs over it" test $rc -eq 0 -a "$(reg_value DisplayVersion)" = 9.99
check "the newer build's files are installed" test -f "$folder/String/Italian/Korelle.xml"
check "Italian chosen with Italian strings gives Italian" test "$(language_of "$folder")" = Italian
check "the upgrade keeps the working file and the saved configuration" user_files_kept

# ---- Simplified Chinese chosen: its strings are the folder Chinese
wine_run reg add "$uninstall_key" /v InstallerLanguage /t REG_SZ /d 2052 /f >/dev/null 2>&1
install "$work/newer/Korelle-9.99-setup.exe" /S; rc=$?
check "Simplified Chinese chosen gives the Chinese strings" test $rc -eq 0 -a "$(language_of "$folder")" = Chinese

# ---- uninstall
# The uninstaller goes on in a copy of itself after this returns; removing
# the uninstall entry is its last step.
wine_run "$folder/Uninstall.exe" /S >/dev/null 2>&1
for _ in $(seq 120); do
  [ -z "$(reg_value DisplayName)" ] && break
  sleep 0.5
done
program_removed() {
  local f
  for f in Korelle.exe Silvex.dll Quillon.dll Merrowin.dll Uninstall.exe Setup.ini Resource Help String \
           Database/VID7a3d_PID006a/__default.xml Database/VID7a3d_PID006a/__DeviceInfo.xml; do
    [ ! -e "$folder/$f" ] || { echo "left: $f"; return 1; }
  done
}
check "the uninstaller removes the program" program_removed
check "the uninstaller removes the shortcut and the uninstall entry" \
  test -n "$link_file" -a ! -e "$link_file" -a -z "$(reg_value DisplayName)"
check "the uninstaller keeps the working file and the saved configuration" user_files_kept

finish
