#!/usr/bin/env bash
# Builds the Windows download and prints its path: a zip holding a folder
# "Parlo" with parlohost.exe, parlocall.exe, the licence and a short read-me.
#
# A zip rather than an installer: each program is one file that needs nothing
# beside Windows itself, keeps no settings and writes nothing but its lock file
# in the user's temporary folder. Unpacking the folder anywhere, without
# administrator rights, is the whole installation and deleting it the whole
# removal; an installer would add Start-menu entries at the price of an
# uninstaller and an administrator prompt, for two programs a user can pin.
#
#   scripts/package-windows.sh [build-dir]      (default: build-windows)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-windows}"
"$root/scripts/install-deps.sh" zip >&2
"$root/scripts/build-windows.sh" "$build" >&2

version=$(sed -n 's/^set(PARLO_VERSION \([0-9.]*\))/\1/p' "$root/product/Version.cmake")
zip="$build/parlo-$version-windows-x86_64.zip"
stage=$(mktemp -d /tmp/parlo-package-windows.XXXXXX)
trap 'rm -rf "$stage"' EXIT

# The last commit's time stands for every time the zip holds: the files' and the
# programs' own (their link time is left out, and strip writes this one).
export SOURCE_DATE_EPOCH="$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)"
mkdir "$stage/Parlo"
for program in host/parlohost caller/parlocall; do
  x86_64-w64-mingw32-strip -o "$stage/Parlo/${program#*/}.exe" "$build/$program.exe"
done
# Text files with Windows line ends, so that every editor shows them as written.
sed 's/$/\r/' "$root/LICENSE" >"$stage/Parlo/LICENSE.txt"
sed "s/@VERSION@/$version/; s/$/\r/" "$root/packaging/windows/README.txt" >"$stage/Parlo/README.txt"

# The same sources give the same zip: fixed times, no extra file attributes.
find "$stage/Parlo" -exec touch -d "@$SOURCE_DATE_EPOCH" {} +
rm -f "$zip"
(cd "$stage" && find Parlo | sort | zip -q -X -@ "$zip")
echo "$zip"
