#!/usr/bin/env bash
# Prints the folder of a static Qt for 64-bit Windows (mingw-w64), building it
# first when this machine has none yet. The Qt is built from Debian's own
# qt6-base source package, at the version of the host's Qt whose tools (moc,
# rcc, uic) it uses, with only what Parlo needs: Core, Gui, Widgets, Network,
# Test and the Windows platform plugin. It is kept under /var/cache/parlo/,
# keyed by the Qt version, the compiler's version and this recipe, so a change
# to any of them builds a new one; the first build takes about half an hour on
# two cores, later calls return at once.
#
#   scripts/mingw-qt.sh            (progress on stderr, the folder on stdout)
#
# Environment: PARLO_CACHE (default /var/cache/parlo), PARLO_JOBS (default 2).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${PARLO_CACHE:-/var/cache/parlo}"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64 dpkg-dev xz-utils perl >&2

# Everything Parlo does not use is left out; bundled third-party code is used
# throughout so that the programs need no DLLs beside the system's. The Debian
# source lacks the tablet (wintab) headers, hence no tablet events; OpenGL and
# Direct2D stay, since this Qt's Windows platform plugin needs them to build and
# link, but not the Direct2D platform plugin (Direct2D 1.1).
features=(
  -DFEATURE_static_runtime=ON
  -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_dbus=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_zstd=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_direct2d1_1=OFF -DFEATURE_androiddeployqt=OFF
  -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
)

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
compiler_version=$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix)
recipe=$(printf '%s\n' "${features[@]}" | cat - "$toolchain" | sha256sum | cut -c1-12)
prefix="$cache/qt-$qt_version-mingw-$compiler_version-$recipe"
prefix="${prefix//[~:]/_}"

if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

mkdir -p "$cache"
exec 9>"$cache/.qt-build.lock"
flock 9
# Another run may have built it while this one waited for the lock.
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d /tmp/parlo-mingw-qt.XXXXXX)
trap 'rm -rf "$work"' EXIT
started=$SECONDS
echo "mingw-qt: building Qt $qt_version for Windows into $prefix" >&2

# Debian's source package through a source list of our own: the machine's apt
# sources and package lists stay as they are.
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
{
  echo "deb-src http://deb.debian.org/debian bookworm main"
  echo "deb-src http://deb.debian.org/debian-security bookworm-security main"
  echo "deb-src http://deb.debian.org/debian bookworm-updates main"
} >"$work/apt/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=$work/apt/none"
  -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
  -o "APT::Sandbox::User=root"
)
apt-get "${apt_options[@]}" update -qq >&2
(cd "$work" && apt-get "${apt_options[@]}" source -qq "qt6-base=$qt_version" >&2)
source_dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')

# The folder counts only once it is marked complete, so a build cut short is
# started again from scratch.
rm -rf "$prefix"
mkdir -p "$prefix"
cp "$toolchain" "$prefix/mingw-w64-x86_64.cmake"
nice -n 10 cmake -S "$source_dir" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${features[@]}" >"$work/configure.log" 2>&1 || {
  tail -50 "$work/configure.log" >&2
  exit 1
}
nice -n 10 cmake --build "$work/build" -j "${PARLO_JOBS:-2}" >&2
nice -n 10 cmake --install "$work/build" >/dev/null
touch "$prefix/.complete"
echo "mingw-qt: built in $((SECONDS - started)) s" >&2
echo "$prefix"
