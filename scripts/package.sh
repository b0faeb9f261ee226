#!/usr/bin/env bash
# Makes what a Windows user downloads from the program folder: the per-user
# installer Korelle-VERSION-setup.exe (makensis, installer/korelle.nsi) and
# the portable Korelle-VERSION-portable.zip (the folder "Korelle"), side by
# side in OUT.
#
#   scripts/package.sh [--version V] [--quick] DIST OUT
#
# The version is the build's (build/mingw/generated/korelle_version.nsh);
# --version packages the folder under another one (the installer test's
# "newer build"). --quick makes the installer alone, with the faster zlib
# compression.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

version=""
quick=0
while [ $# -gt 2 ]; do
  case $1 in
    --version) version=$2; shift 2 ;;
    --quick) quick=1; shift ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || { echo "usage: scripts/package.sh [--version V] [--quick] DIST OUT" >&2; exit 2; }
from=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
generated="$build_root/mingw/generated"
icon="$build_root/korelle.ico"

defines=()
[ $quick -eq 1 ] && defines+=(-X"SetCompressor /FINAL zlib")
if [ -n "$version" ]; then
  IFS=. read -r major minor _ <<<"$version"
  defines+=(-DVERSION="$version" -DVERSION_QUAD="$major.${minor:-0}.0.0")
else
  version=$(sed -n 's/^!define VERSION "\(.*\)"$/\1/p' "$generated/korelle_version.nsh")
fi
[ -n "$version" ] || { echo "package: no version in $generated/korelle_version.nsh" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The uninstaller's list: every installed file but the working file, then
# the folders, deepest first (removed only when empty).
nsis_path() { sed -e 's|^\./||' -e 's|\$|$$|g' -e 's|/|\\|g'; }
(
  cd "$from"
  find . -type f ! -path "./Database/VID7a3d_PID006a/__working.xml" | sort | nsis_path |
    sed 's|.*|  Delete "$INSTDIR\\&"|'
  find . -mindepth 1 -type d | sort -r | nsis_path | sed 's|.*|  RMDir "$INSTDIR\\&"|'
) >"$work/files.nsh"

setup="$out/Korelle-$version-setup.exe"
makensis -V2 -NOCD -X"!addincludedir \"$generated\"" "${defines[@]}" \
  -DDIST="$from" -DOUTFILE="$setup" -DICON="$icon" -DFILES_NSH="$work/files.nsh" \
  -DSIZE_KB="$(du -sk "$from" | cut -f1)" "$root/installer/korelle.nsi"

echo "package: $setup"
[ $quick -eq 1 ] && exit 0

zip="$out/Korelle-$version-portable.zip"
rm -f "$zip"
cp -r "$from" "$work/Korelle"
(cd "$work" && cmake -E tar cf "$zip" --format=zip Korelle)
echo "package: $zip"
