#!/usr/bin/env bash
# The help pages as a browser shows them: headless Chromium opens the program
# folder's Help/help.xml and Help/about.xml from disk (file pages, as the
# program's Help and About buttons open them) and must show each styled page
# with its title, not a blank or raw XML view. Each screenshot goes to
# build/e2e-out/ (help-English.png, about-English.png) and is compared with
# its reference in tests/help/reference/ within a tolerance.
#
#   scripts/test_help.sh [PROGRAM-FOLDER]     # default: dist/
#   KORELLE_UPDATE_HELP_REFERENCES=1 ...      # take the new screenshots as references
#
# Ends with "help: N passed, N failed"; exits non-zero when a check failed.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

folder=$(cd "${1:-$dist}" && pwd) || exit 1
out="$build_root/e2e-out"
references="$root/tests/help/reference"
version=$(sed -n 's/^project(Korelle VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
size=1100,1500
# At most this share of the pixels may differ from the reference by more than
# the colour fuzz: room for a browser's small rendering changes, not for a
# missing section, a changed text block or a page without its style.
fuzz=10%
max_share=0.01

mkdir -p "$out"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL $*"; failed=$((failed + 1)); }

# The browser as root needs --no-sandbox. Each run has a profile of its own,
# so that the four runs (each page's document and screenshot) go side by
# side: a browser's start is most of the time this takes.
browser() {  # name options...
  local name=$1
  shift
  timeout 60 chromium --headless --no-sandbox --disable-gpu --no-first-run --hide-scrollbars \
    --user-data-dir="$profile/$name" --force-device-scale-factor=1 "$@" 2>/dev/null
}

render() {  # page: its document to $profile/NAME.dom, its screenshot to e2e-out
  local page=$1 name=${1%.xml}
  local file="$folder/Help/$page"
  rm -f "$out/$name-English.png"
  [ -f "$file" ] || return 0
  browser "$name-dom" --dump-dom "file://$file" >"$profile/$name.dom" &
  browser "$name-shot" --screenshot="$out/$name-English.png" --window-size="$size" "file://$file" >/dev/null &
}

check_page() {  # page title text...
  local page=$1 title=$2 name=${1%.xml}
  shift 2
  local file="$folder/Help/$page" shot="$out/$name-English.png" dom
  [ -f "$file" ] || { fail "$page: missing from $folder/Help"; return; }

  # The page as a document: its title and texts, not the XML viewer.
  dom=$(cat "$profile/$name.dom")
  if [[ "$dom" == *"<title>$title</title>"* ]]; then pass; else fail "$page: no title \"$title\""; fi
  local text
  for text in "$@"; do
    if [[ "$dom" == *"$text"* ]]; then pass; else fail "$page: \"$text\" not shown"; fi
  done

  [ -s "$shot" ] || { fail "$page: no screenshot"; return; }
  # Not blank: the dark page with text on it, not one plain colour.
  local mean deviation
  read -r mean deviation < <(convert "$shot" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]\n' info:)
  if awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m < 0.5 && d > 0.05) }'; then
    pass
  else
    fail "$page: blank or unstyled screenshot (mean $mean, deviation $deviation)"
  fi

  local reference="$references/$name-English.png"
  if [ "${KORELLE_UPDATE_HELP_REFERENCES:-0}" = 1 ]; then
    mkdir -p "$references"
    cp "$shot" "$reference"
    echo "$page: reference updated"
  fi
  [ -f "$reference" ] || { fail "$page: no reference $reference"; return; }
  local differing total
  differing=$(compare -metric AE -fuzz "$fuzz" "$reference" "$shot" "$out/$name-English-diff.png" 2>&1 >/dev/null)
  total=$(identify -format '%[fx:w*h]' "$reference")
  if [[ "$differing" =~ ^[0-9.e+]+$ ]] && awk -v d="$differing" -v t="$total" -v s="$max_share" 'BEGIN { exit !(d <= t * s) }'; then
    pass
    rm -f "$out/$name-English-diff.png"
  else
    fail "$page: $differing of $total pixels differ from $reference (see $out/$name-English-diff.png)"
  fi
}

t0=$SECONDS
render help.xml
render about.xml
wait
check_page help.xml "Korelle Help - Korelle $version" "Getting started" "Recording a macro" "Troubleshooting"
check_page about.xml "About Korelle" "Version</span>$version" 'id="FirmWare"' "Versions not reported"
echo "help pages checked in $((SECONDS - t0)) s"
echo "help: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
