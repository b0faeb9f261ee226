# Shared by the build, test and run scripts: folders, the three build
# configurations, the virtual display and the Wine prefix.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$root/build"
dist="$root/dist"
jobs=$(nproc)

configure() {  # name [cmake options...]
  local name=$1; shift
  local dir="$build_root/$name"
  mkdir -p "$build_root"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 \
      || { cat "$dir.configure.log"; return 1; }
  fi
}

configure_and_build() {  # name [cmake options...]
  configure "$@" && cmake --build "$build_root/$1" -j "$jobs"
}

build_native() { configure_and_build native; }
build_asan() { configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DKORELLE_SANITIZE=ON; }
build_fuzz() { CC=clang CXX=clang++ configure_and_build fuzz -DKORELLE_FUZZ=ON; }

# Seeds the fuzzers' corpora: the shipped files, one per input kind, and
# two macros of key slots.
seed_fuzz_corpus() {
  local corpus=$1 device="$root/assets/database/VID7a3d_PID006a"
  mkdir -p "$corpus"
  { printf '\x00'; cat "$device/__default.xml"; } >"$corpus/seed-profile"
  { printf '\x01'; cat "$device/__DeviceInfo.xml"; } >"$corpus/seed-info"
  { printf '\x02'; cat "$device/__default.xml"; } >"$corpus/seed-template"
  # The string table: the shipped English file.
  mkdir -p "$corpus-strings" "$corpus-macro"
  cp "$root/assets/strings/English/Korelle.xml" "$corpus-strings/seed-english"
  # Key slots: press A for 1230 ms then release A after 20 ms, and a full
  # set of sixteen slots holding the largest counts.
  printf '\x04\x97\xff\x42\x04\x02' >"$corpus-macro/seed-two-steps"
  printf '\x04\xff%.0s' $(seq 16) >"$corpus-macro/seed-sixteen"
}

# The Windows build, installed as the program folder dist/, with the skin
# and the program icon that the native generator draws first (the cross
# build cannot run it); then packed as build/package/'s installer and zip.
build_windows() {
  configure native && cmake --build "$build_root/native" -j "$jobs" --target skin_gen || return 1
  rm -rf "$build_root/skin"
  "$build_root/native/assets/skin/skin_gen" "$build_root/skin" --icon "$build_root/korelle.ico" || return 1
  configure_and_build mingw -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$dist" -DKORELLE_ICON="$build_root/korelle.ico" || return 1
  rm -rf "$dist"
  # Shipped without debug information: the build folder keeps it.
  cmake --install "$build_root/mingw" --strip >/dev/null || return 1
  mkdir -p "$dist/Resource"
  cp -r "$build_root/skin" "$dist/Resource/VID7A3D_PID006A"
  "$root/scripts/package.sh" "$dist" "$build_root/package" >/dev/null  # installer and zip
}

# Starts Xvfb when there is no display, and stops it when the script exits.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start on $DISPLAY" >&2
  return 1
}

# A Wine prefix of this run's own, created once and reused within the run.
new_wine_prefix() {
  export WINEPREFIX="$build_root/wineprefix-$$"
  export WINEDEBUG=-all
  rm -rf "$WINEPREFIX"
  "$root/scripts/wine-run" cmd /c exit >/dev/null 2>&1 || true
  # No window manager runs on the virtual display: windows Wine would hand
  # to one wait for it in vain (2 s at every hide). Wine manages them itself.
  "$root/scripts/wine-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  # A program that crashes ends at once with its backtrace on standard error
  # instead of waiting behind a crash dialog nobody answers.
  "$root/scripts/wine-run" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
}

cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    [[ "$WINEPREFIX" == "$build_root"/wineprefix-* ]] && rm -rf "$WINEPREFIX"
  fi
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
