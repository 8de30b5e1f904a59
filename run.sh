#!/usr/bin/env bash
# Builds the program and starts it against the emulated device (quorvel5-sim).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"

bin=build/bin
sim_pid=""
if [ -x "$bin/quorvel5-sim" ]; then
    "$bin/quorvel5-sim" "$@" &
    sim_pid=$!
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
    # Wait until the emulator has published its link.
    for _ in $(seq 50); do [ -e "$bin/ttyQV5SIM" ] && break; sleep 0.1; done
fi
"$bin/quorvel5"
