#!/bin/sh
# Proves that the Windows layers compile for Windows: cross-compiles the
# registry reader, the program starter and the launcher, and the DNS-SD and
# address-watch layers (no Qt D-Bus), with Debian's mingw-w64 compiler against
# the host's Qt headers (only QtCore and QtNetwork types are used there), and
# checks that the registry functions are bound at run time from advapi32.dll
# rather than imported at link time.
#
# Needs: apt-get install -y g++-mingw-w64-x86-64 qt6-base-dev
# Not part of the test suite; run it by hand: scripts/mingw-check.sh
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
cxx=${MINGW_CXX:-x86_64-w64-mingw32-g++}
nm=${MINGW_NM:-x86_64-w64-mingw32-nm}
qt=${QT_INCLUDE_DIR:-$(qmake6 -query QT_INSTALL_HEADERS 2>/dev/null || echo /usr/include/x86_64-linux-gnu/qt6)}

if ! command -v "$cxx" >/dev/null 2>&1; then
    echo "mingw-check: $cxx not found (apt-get install -y g++-mingw-w64-x86-64)" >&2
    exit 2
fi
if [ ! -d "$qt/QtCore" ]; then
    echo "mingw-check: no Qt headers under $qt (set QT_INCLUDE_DIR)" >&2
    exit 2
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for source in RegistryReaderWin.cpp ProgramStarterWin.cpp modIEOps.cpp; do
    echo "mingw-check: compiling about/$source"
    "$cxx" -std=c++20 -Wall -Wextra -Werror -c \
        -I"$here/about" -isystem "$qt" -isystem "$qt/QtCore" \
        "$here/about/$source" -o "$out/${source%.cpp}.o"
done

# The layers the Windows build picks instead of the D-Bus responder and the
# kernel's address news: no Qt D-Bus there.
for source in desktop/DnsSdUnavailable.cpp desktop/DnsSd.cpp desktop/RecentAddresses.cpp \
    net/AddressWatchPoll.cpp net/OwnAddresses.cpp; do
    echo "mingw-check: compiling $source"
    "$cxx" -std=c++20 -Wall -Wextra -Werror -c -I"$here/desktop" -I"$here/net" \
        -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtNetwork" \
        "$here/$source" -o "$out/$(basename "${source%.cpp}").o"
done

symbols=$("$nm" "$out/RegistryReaderWin.o")
for bound in LoadLibraryA GetProcAddress; do
    if ! printf '%s\n' "$symbols" | grep -q "__imp_$bound\$"; then
        echo "mingw-check: the registry reader does not call $bound" >&2
        exit 1
    fi
done
for api in RegOpenKeyExA RegQueryValueExA RegCloseKey; do
    if printf '%s\n' "$symbols" | grep -q "__imp_$api\$"; then
        echo "mingw-check: $api is imported at link time instead of bound by name" >&2
        exit 1
    fi
done
if ! printf '%s\n' "$symbols" | grep -q ' T .*systemRegistryReader'; then
    echo "mingw-check: the Windows registry reader compiled to nothing (is _WIN32 defined?)" >&2
    exit 1
fi
if ! "$nm" "$out/ProgramStarterWin.o" | grep -q '__imp_CreateProcessA$'; then
    echo "mingw-check: the program starter does not call CreateProcessA" >&2
    exit 1
fi

echo "mingw-check: the Windows layers compile and bind advapi32.dll by name"
