#!/usr/bin/env bash
# Installs what building, running and testing Parlo needs on Debian 12, as root.
# Packages already present are left alone, so a second run is quick.
#
#   scripts/install-deps.sh [extra-package ...]
set -euo pipefail

# qt6-wayland: on a Wayland-only session the programs need Qt's Wayland platform.
packages=(cmake ninja-build g++ qt6-base-dev qt6-wayland fonts-dejavu-core xvfb xauth librsvg2-bin
  iproute2 "$@")

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}; run this script as root (or with sudo)." >&2
  exit 1
fi
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
