#!/usr/bin/env bash
# Mutation check: each one-line patch of tests/mutations.txt is applied to a
# clean copy of the tree, the suites the entry names are built and run, and
# the patch must make one of them fail. Surviving patches are printed as they
# are found, and a table of all entries at the end; exits non-zero when a
# patch survived or could not be applied.
#
#   scripts/mutate.sh [ID...]      all entries, or only the named ones
#
# The copy lives in KORELLE_MUTANT_TREE (default /tmp/korelle-mutant) with
# its own build folders, kept between runs so that only what a patch touches
# is rebuilt. Suites: native:<ctest name>, wine:<ctest name> (the Windows
# build under Wine), e2e:<GoogleTest filter> (Korelle.exe end to end).
set -uo pipefail
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
list=${KORELLE_MUTATIONS:-$src/tests/mutations.txt}
copy=${KORELLE_MUTANT_TREE:-/tmp/korelle-mutant}
wanted=" $* "

# ---- the clean copy: tracked and new files of the working tree ----
mkdir -p "$copy"
(cd "$src" && git ls-files -z --cached --others --exclude-standard) |
  tar -C "$src" --null -T - -cf - | tar -C "$copy" -xf -
# Files any earlier run patched: the copy above gave them back their old
# time, older than what was built from the patch, so they are touched to be
# rebuilt from their restored text. The list is kept, since a run may stop
# before it has rebuilt everything.
touch "$copy/.mutated"
while IFS= read -r f; do [ -f "$copy/$f" ] && touch "$copy/$f"; done <"$copy/.mutated"

source "$copy/scripts/common.sh"  # root, build_root and dist now point into the copy
jobs=${KORELLE_MUTATE_JOBS:-2}
trap cleanup EXIT
log="$build_root/mutate.log"
mkdir -p "$build_root"
: >"$log"

# ---- building and running suites ----
native_ready=0
windows_ready=0
wine_ready=0
build_native_targets() {  # targets...
  if [ $native_ready -eq 0 ]; then configure native || return 1; native_ready=1; fi
  cmake --build "$build_root/native" -j "$jobs" --target "$@" >>"$log" 2>&1
}
build_windows_tree() {
  if [ $windows_ready -eq 0 ]; then
    # The first build in this copy also draws the skin and installs dist/.
    if [ ! -f "$dist/Korelle.exe" ]; then
      build_windows >>"$log" 2>&1 || return 1
    else
      configure mingw -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_INSTALL_PREFIX="$dist" \
        -DKORELLE_ICON="$build_root/korelle.ico" || return 1
    fi
    windows_ready=1
  fi
  cmake --build "$build_root/mingw" -j "$jobs" >>"$log" 2>&1 && cmake --install "$build_root/mingw" >>"$log" 2>&1
}
ready_wine() {
  if [ $wine_ready -eq 0 ]; then ensure_display && new_wine_prefix || return 1; wine_ready=1; fi
}
# Builds what a suite needs; false when the build fails.
build_suite() {  # kind:name
  case $1 in
    native:*) build_native_targets "${1#native:}" ;;
    wine:*) build_windows_tree ;;
    e2e:*) build_windows_tree && build_native_targets e2e_test ;;
    *) echo "unknown suite $1" >&2; return 1 ;;
  esac
}
# Runs a suite; true when it passes.
run_suite() {  # kind:name
  case $1 in
    native:*) timeout 900 ctest --test-dir "$build_root/native" -R "^${1#native:}\$" --timeout 600 >>"$log" 2>&1 ;;
    wine:*) ready_wine && timeout 900 ctest --test-dir "$build_root/mingw" -R "^${1#wine:}\$" --timeout 600 >>"$log" 2>&1 ;;
    e2e:*)
      ready_wine && KORELLE_DIST="$dist" KORELLE_WINDOWS_BUILD="$build_root/mingw" KORELLE_E2E_OUT="$build_root/e2e-out" \
        timeout 1200 "$build_root/native/tests/e2e/e2e_test" --gtest_filter="${1#e2e:}" >>"$log" 2>&1 ;;
  esac
}

# ---- the patch list ----
ids=() files=() occs=() froms=() tos=() suites=()
id="" file="" occ=0 from="" to=""
while IFS= read -r line || [ -n "$line" ]; do
  case $line in
    '== '*) id=${line#== }; id=${id%%:*}; file="" occ=0 from="" to="" ;;
    'file: '*) file=${line#file: } ;;
    'occurrence: '*) occ=${line#occurrence: } ;;
    '- '*) from=${line#- } ;;
    '+ '*) to=${line#+ } ;;
    '+') to="" ;;
    'suites: '*)
      if [[ -z "$id" || -z "$file" || -z "$from" ]]; then echo "$list: incomplete entry before: $line" >&2; exit 2; fi
      if [[ "$wanted" == "  " || "$wanted" == *" $id "* ]]; then
        ids+=("$id") files+=("$file") occs+=("$occ") froms+=("$from") tos+=("$to") suites+=("${line#suites: }")
      fi
      id="" ;;
  esac
done <"$list"
[ ${#ids[@]} -gt 0 ] || { echo "no entries" >&2; exit 2; }

# Replaces the one line whose text (without its indentation) is `from` by
# `to`, indented the same; with occurrence n > 0, the nth such line.
apply_patch() {  # file occurrence from to
  python3 - "$@" <<'PY'
import sys
path, occ, frm, to = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
text = open(path, encoding="utf-8", newline="").read()
lines = text.split("\n")
hits = [i for i, l in enumerate(lines) if l.strip() == frm.strip()]
if (occ == 0 and len(hits) != 1) or (occ > 0 and len(hits) < occ):
    sys.exit(f"{path}: the line occurs {len(hits)} times: {frm}")
i = hits[0] if occ == 0 else hits[occ - 1]
indent = lines[i][: len(lines[i]) - len(lines[i].lstrip())]
lines[i] = indent + to.strip()
open(path, "w", encoding="utf-8", newline="").write("\n".join(lines))
PY
}

# ---- the clean tree must pass every suite named ----
declare -A seen=()
baseline_failed=0
for s in ${suites[@]}; do
  [ -n "${seen[$s]:-}" ] && continue
  seen[$s]=1
  if ! build_suite "$s" || ! run_suite "$s"; then
    echo "clean tree fails $s (see $log)" >&2
    baseline_failed=1
  fi
done
[ $baseline_failed -eq 0 ] || exit 2

# ---- each patch ----
results=()
survivors=0
for i in "${!ids[@]}"; do
  t0=$SECONDS
  f="$copy/${files[$i]}"
  cp "$f" "$f.orig"
  grep -qxF "${files[$i]}" "$copy/.mutated" || echo "${files[$i]}" >>"$copy/.mutated"
  result="" by=""
  if ! apply_patch "$f" "${occs[$i]}" "${froms[$i]}" "${tos[$i]}" 2>>"$log"; then
    result="NOT APPLIED"
  else
    for s in ${suites[$i]}; do
      if ! build_suite "$s"; then result="killed (build)"; by=$s; break; fi
      if ! run_suite "$s"; then result="killed"; by=$s; break; fi
    done
    [ -n "$result" ] || result="SURVIVED"
  fi
  # Restored with a fresh time, so that the next build undoes the patch.
  cat "$f.orig" >"$f" && rm -f "$f.orig" && touch "$f"
  if [ "$result" = SURVIVED ] || [ "$result" = "NOT APPLIED" ]; then
    survivors=$((survivors + 1))
    echo "$result: ${ids[$i]} ${files[$i]}"
    echo "  - ${froms[$i]}"
    echo "  + ${tos[$i]}"
  fi
  results+=("$(printf '%-34s %-15s %-44s %4ss' "${ids[$i]}" "$result" "$by" $((SECONDS - t0)))")
done

# The last patch is undone in the builds too.
for s in ${suites[${#ids[@]}-1]}; do build_suite "$s" >/dev/null 2>&1; done

printf '%-34s %-15s %-44s %5s\n' "patch" "result" "caught by" "time"
printf '%s\n' "${results[@]}"
echo "${#ids[@]} patches, $((${#ids[@]} - survivors)) killed, $survivors not killed"
[ $survivors -eq 0 ]
