#!/usr/bin/env bash
# Builds everything and runs every test layer: native, native under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short libFuzzer run over
# the profile readers, the string table's reader and the macro decoder
# (KORELLE_FUZZ_SECONDS in all, default 20), the Windows
# build under Wine, the help pages in headless Chromium, the installer, and
# the real HID stack in a VM. For quicker rounds while working,
# KORELLE_LAYERS picks layers ("native sanitized fuzz wine help installer
# hid" by default; "e2e", the wine layer's end-to-end tests alone) and KORELLE_E2E_FILTER
# passes a GoogleTest filter to the end-to-end layer. Ends with one line "total: N passed, N failed"; exits non-zero when
# anything failed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
trap cleanup EXIT

start=$(date +%s)
layers=" ${KORELLE_LAYERS:-native sanitized fuzz wine help installer hid} "
wanted() { [[ "$layers" == *" $1 "* ]]; }
# One round of packages, the HID layer's included when it runs.
"$root/scripts/bootstrap.sh" $(wanted hid && echo hid) || exit 1
mkdir -p "$build_root"

passed=0
failed=0
summary=()

# Totals one GoogleTest report into the layer's counts (p and f of the caller).
count_report() {  # report-file
  local line
  line=$(grep -m1 '<testsuites' "$1")
  local tests=$(sed 's/.* tests="\([0-9]*\)".*/\1/' <<<"$line")
  local fails=$(sed 's/.* failures="\([0-9]*\)".*/\1/' <<<"$line")
  local errors=$(sed 's/.* errors="\([0-9]*\)".*/\1/' <<<"$line")
  local disabled=$(sed 's/.* disabled="\([0-9]*\)".*/\1/' <<<"$line")
  p=$((p + tests - fails - errors - disabled))
  f=$((f + fails + errors))
}

# Runs one configuration's CTest suites and totals their GoogleTest reports.
# A suite that left no report (it crashed or did not start) counts as one
# failure.
run_layer() {  # label build-dir
  local label=$1 dir=$2 t0=$SECONDS
  local reports="$dir/test-reports" p=0 f=0 name
  rm -f "$reports"/*.xml
  ctest --test-dir "$dir" --output-on-failure --timeout 600 >"$dir/ctest.log" 2>&1
  local rc=$?
  for name in $(ctest --test-dir "$dir" -N | sed -n 's/^ *Test *#[0-9]*: //p'); do
    local report="$reports/$name.xml"
    if [ -f "$report" ]; then
      count_report "$report"
    else
      echo "$label: $name left no report" >&2
      f=$((f + 1))
    fi
  done
  if [ $rc -ne 0 ] && [ $f -eq 0 ]; then f=1; fi
  [ $rc -ne 0 ] && grep -vE '^\s*$' "$dir/ctest.log" | tail -60
  summary+=("$label: $p passed, $f failed ($((SECONDS - t0)) s)")
  passed=$((passed + p))
  failed=$((failed + f))
}

# Korelle.exe under Wine, driven from outside.
run_e2e() {
  local t0=$SECONDS p=0 f=0 report="$build_root/e2e-report.xml"
  rm -f "$report"
  cmake --build "$build_root/native" -j "$jobs" --target e2e_test >/dev/null || { summary+=("e2e: build failed"); failed=$((failed + 1)); return; }
  KORELLE_DIST="$dist" KORELLE_WINDOWS_BUILD="$build_root/mingw" KORELLE_E2E_OUT="$build_root/e2e-out" \
    "$build_root/native/tests/e2e/e2e_test" --gtest_filter="${KORELLE_E2E_FILTER:-*}" --gtest_output=xml:"$report" >"$build_root/e2e.log" 2>&1
  local rc=$?
  local log="$build_root/e2e.log"
  if [ -f "$report" ]; then
    count_report "$report"
  else  # the program died: count what its log shows, and the crash
    p=$(grep -c '^\[       OK \]' "$log")
    f=$(($(grep -c '^\[  FAILED  \] [A-Za-z]' "$log") + 1))
    echo "e2e: the test program ended without a report (exit $rc), after: $(grep -E '^\[ RUN' "$log" | tail -1)"
  fi
  if [ $rc -ne 0 ] && [ $f -eq 0 ]; then f=1; fi
  if [ $rc -ne 0 ]; then  # every case's time, then the first failures in full
    grep -E '^\[ +(OK|FAILED) +\] [A-Za-z].*\(' "$log"
    grep -E -A8 'Failure$' "$log" | head -80
    sed -n '/^-- what the programs printed:/,/^-- end/p' "$log" | tail -60  # a crash's backtrace
  fi
  summary+=("e2e: $p passed, $f failed ($((SECONDS - t0)) s)")
  passed=$((passed + p))
  failed=$((failed + f))
}

# The real HID stack: Quillon.dll and Korelle.exe under Wine in a VM, against
# korelle-uhid-mouse (scripts/hid-vm.sh, scripts/hid-inside.sh). One boot
# for both suites; their reports come back through the VM's output folder.
run_hid() {
  local t0=$SECONDS p=0 f=0 out="$build_root/hid-out" report
  # The wine layer built the program folder already; alone, this layer builds it.
  if ! wanted wine; then build_windows || { build_failed hid; return; }; fi
  cmake --build "$build_root/mingw" -j "$jobs" --target quillon_hid_test >/dev/null &&
    configure native && cmake --build "$build_root/native" -j "$jobs" --target hid_e2e_test cli_hid_test >/dev/null &&
    "$root/scripts/hid-prefix.sh" "$build_root/hid-vm/prefix" || { build_failed hid; return; }
  rm -rf "$out"
  mkdir -p "$out"
  "$root/scripts/hid-vm.sh" "$out" "$root/scripts/hid-inside.sh" "$out" >"$build_root/hid.log" 2>&1
  local rc=$?
  for report in quillon-hid korelle-hid cli-hid quillon-hid-read-only; do
    if [ -f "$out/$report.xml" ]; then count_report "$out/$report.xml"; else echo "hid: $report left no report" >&2; f=$((f + 1)); fi
  done
  if [ $rc -ne 0 ] && [ $f -eq 0 ]; then f=1; fi
  if [ $f -ne 0 ]; then
    cat "$build_root/hid.log" "$out/console.log" 2>/dev/null | tail -20
    grep -hE 'Failure|FAILED|Expected|Which is|  ' "$out"/*-hid.log 2>/dev/null | tail -40
  fi
  summary+=("hid: $p passed, $f failed ($((SECONDS - t0)) s)")
  passed=$((passed + p))
  failed=$((failed + f))
}

build_failed() {
  summary+=("$1: build failed")
  failed=$((failed + 1))
}

if wanted native; then
  echo "== native build"
  build_native && run_layer native "$build_root/native" || build_failed native
fi
if wanted sanitized; then
  echo "== sanitized build"
  build_asan && run_layer sanitized "$build_root/asan" || build_failed sanitized
fi
# The fuzzing time is shared: half for the profile readers, a quarter each
# for the string table's reader and the macro decoder.
fuzz_seconds=${KORELLE_FUZZ_SECONDS:-20}
run_fuzz() {  # target seconds corpus [options...]
  local target=$1 seconds=$2 corpus=$3 t0=$SECONDS
  shift 3
  local log="$build_root/fuzz-$target.log"
  if "$build_root/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -artifact_prefix="$build_root/fuzz/$target-" \
       "$@" "$corpus" >"$log" 2>&1; then
    summary+=("fuzz $target: 1 passed, 0 failed ($(grep -o 'Done [0-9]* runs' "$log") in $((SECONDS - t0)) s)")
    passed=$((passed + 1))
  else
    tail -40 "$log"
    summary+=("fuzz $target: 0 passed, 1 failed (see $log and the crash file in build/fuzz/)")
    failed=$((failed + 1))
  fi
}
if ! wanted fuzz; then
  :
elif echo "== fuzzing" && build_fuzz; then
  seed_fuzz_corpus "$build_root/fuzz/corpus"
  run_fuzz profile_fuzz $(( (fuzz_seconds + 1) / 2 )) "$build_root/fuzz/corpus" -max_len=20000 -dict="$root/tests/fuzz/xml.dict"
  run_fuzz strings_fuzz $(( (fuzz_seconds + 3) / 4 )) "$build_root/fuzz/corpus-strings" -max_len=20000 -dict="$root/tests/fuzz/xml.dict"
  run_fuzz macro_fuzz $(( (fuzz_seconds + 3) / 4 )) "$build_root/fuzz/corpus-macro" -max_len=32
else
  build_failed fuzz
fi

if ! wanted wine && ! wanted e2e; then
  :
elif echo "== Windows build" && build_windows; then
  t0=$SECONDS
  ensure_display
  new_wine_prefix
  summary+=("wine prefix and display: $((SECONDS - t0)) s")
  wanted wine && run_layer wine "$build_root/mingw"
  run_e2e

else
  build_failed wine
fi

# The help pages of dist/ in headless Chromium (scripts/test_help.sh):
# styled pages with their titles, screenshots matching their references.
if wanted help; then
  echo "== help pages"
  if wanted wine || build_windows; then
    t0=$SECONDS
    "$root/scripts/test_help.sh" "$dist" >"$build_root/help.log" 2>&1
    rc=$?
    line=$(grep '^help: ' "$build_root/help.log" | tail -1)
    p=$(sed -n 's/^help: \([0-9]*\) passed.*/\1/p' <<<"$line")
    f=$(sed -n 's/.* \([0-9]*\) failed$/\1/p' <<<"$line")
    [ -n "$p" ] || { p=0; f=1; }
    [ $rc -ne 0 ] && [ "${f:-0}" -eq 0 ] && f=1
    [ $rc -ne 0 ] && grep '^FAIL' "$build_root/help.log"
    summary+=("help: $p passed, $f failed ($((SECONDS - t0)) s)")
    passed=$((passed + p))
    failed=$((failed + f))
  else
    build_failed help
  fi
fi

# The installer and the zip of build/package/, used as a user does
# (scripts/test_installer.sh, in a fresh Wine prefix of its own).
if wanted installer; then
  echo "== installer"
  if wanted wine || build_windows; then
    t0=$SECONDS
    ensure_display
    "$root/scripts/test_installer.sh" >"$build_root/installer.log" 2>&1
    rc=$?
    line=$(grep '^installer: ' "$build_root/installer.log" | tail -1)
    p=$(sed -n 's/^installer: \([0-9]*\) passed.*/\1/p' <<<"$line")
    f=$(sed -n 's/.* \([0-9]*\) failed$/\1/p' <<<"$line")
    [ -n "$p" ] || { p=0; f=1; }
    [ $rc -ne 0 ] && [ "${f:-0}" -eq 0 ] && f=1
    [ $rc -ne 0 ] && grep -E '^FAIL|missing|left' "$build_root/installer.log"
    summary+=("installer: $p passed, $f failed ($((SECONDS - t0)) s)")
    passed=$((passed + p))
    failed=$((failed + f))
  else
    build_failed installer
  fi
fi

if wanted hid; then
  echo "== real HID stack (VM)"
  run_hid
fi

printf '%s\n' "${summary[@]}"
echo "whole test command: $(( $(date +%s) - start )) s"
echo "total: $passed passed, $failed failed"
[ $failed -eq 0 ]
