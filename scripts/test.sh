#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless in a
# network of its own, so a Parlo host running on this machine does not disturb it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/own-network.sh" env QT_QPA_PLATFORM=offscreen \
  ctest --test-dir "$root/build" --output-on-failure -j "${PARLO_JOBS:-2}" --timeout 600 -LE slow
