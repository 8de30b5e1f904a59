#!/usr/bin/env bash
# Builds the Debian package from what it ships only: the program, the emulator,
# the language files and the packaging files; no tests, no benchmarks.
#
#   scripts/build-package.sh [BUILD_DIR]    (default: build-package)
# The package lands in BUILD_DIR as quorvel5_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-package}

./scripts/install-deps.sh run package
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV5_TESTS=OFF -DQV5_BENCH=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$dir" --target package
ls "$dir"/quorvel5_*.deb
