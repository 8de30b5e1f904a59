#!/usr/bin/env bash
# Builds everything and runs every test: once in a normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   ./test.sh           both builds, every test
#   ./test.sh --quick   the normal build and its tests only
set -euo pipefail
cd "$(dirname "$0")"

quick=false
case "${1:-}" in
    --quick) quick=true ;;
    "") ;;
    *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh test

jobs=$(nproc 2>/dev/null || echo 2)
# The end-to-end tests spend most of their time waiting for the device's
# timers, so three run on each core.
test_jobs=$((jobs * 3))
# A compiler cache speeds up rebuilds where one is installed; nothing needs it.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV5_TESTS=ON -DQV5_BENCH=ON \
    "${launcher[@]}" >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$test_jobs"
if $quick; then
    echo "== all tests passed (normal build only)"
    exit 0
fi

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV5_SANITIZE=ON -DQV5_BENCH=OFF \
    "${launcher[@]}" >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j"$test_jobs"

echo "== all tests passed, both builds"
