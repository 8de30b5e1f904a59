#!/usr/bin/env bash
# Builds the program and starts it against the emulated device (quorvel5-sim).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh run

# A new build folder is set up for the program alone; one that ./test.sh set up
# keeps its tests. Either way only what runs here is built.
options=()
[ -f build/CMakeCache.txt ] || options=(-DQV5_TESTS=OFF -DQV5_BENCH=OFF)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target quorvel5 quorvel5-sim qv5_lang_files

bin=build/bin
# The program writes its settings file only when a file dialog picks a new
# folder and says so at every start until then; give the emulator set-up one.
[ -e "$bin/quorvel5.ini" ] || printf 'TIMEOUT|1\r\nTIMERINTERVAL|50\r\nINITDIR|%s/\r\n' "$PWD/$bin" > "$bin/quorvel5.ini"
sim_pid=""
if [ -x "$bin/quorvel5-sim" ]; then
    "$bin/quorvel5-sim" "$@" &
    sim_pid=$!
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
    # Wait until the emulator has published its link.
    for _ in $(seq 50); do [ -e "$bin/ttyQV5SIM" ] && break; sleep 0.1; done
fi
"$bin/quorvel5"
