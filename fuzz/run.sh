#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for SECONDS (default 60).
# Corpora grow in fuzz/corpus-<name>; crashes land in fuzz/out/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
./scripts/install-deps.sh fuzz

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DQV5_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc 2>/dev/null || echo 2)"

mkdir -p fuzz/out
status=0
for harness in $(find build-fuzz/fuzz -maxdepth 1 -type f -executable -name "fuzz_*" | sort); do
    name=$(basename "$harness")
    corpus=fuzz/corpus-$name
    mkdir -p "$corpus"
    [ -d "fuzz/seeds/$name" ] && cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "== $name for ${seconds}s"
    if ! "$harness" "$corpus" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
         -artifact_prefix=fuzz/out/"$name"- 2>fuzz/out/"$name".log; then
        echo "!! $name found a problem: see fuzz/out/$name.log"
        status=1
    fi
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' fuzz/out/"$name".log | tail -2 || true
done
exit $status
