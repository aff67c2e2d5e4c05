#!/usr/bin/env bash
# Runs a command in a network of its own, with only loopback up, so that it
# and whatever runs on this machine never meet on a port (1983 above all): as
# root with `unshare -n`, as another user with `unshare -rn` where the kernel
# allows unprivileged user namespaces. Where neither works, the command runs in
# the machine's own network, and this says why port 1983 may clash.
#
#   scripts/own-network.sh command [argument ...]
set -euo pipefail

if [ "$(id -u)" -eq 0 ]; then
  flags=(-n)
else
  flags=(-r -n)
fi
if unshare "${flags[@]}" true 2>/dev/null; then
  exec unshare "${flags[@]}" sh -c 'ip link set lo up && exec "$@"' own-network "$@"
fi
echo "own-network: no network namespace here (unshare ${flags[*]} failed): running in the" \
  "machine's network, where a Parlo host already on port 1983 makes the black-box test fail." >&2
exec "$@"
