#!/usr/bin/env bash
# What the visit record's recording costs while connected: the program's CPU
# against quorvel5-sim under Xvfb, one minute a run (scripts/soak.sh, without
# faults), built from COMMIT as it is and from the same source with the
# recording switched off, in turn ROUNDS times, the order swapped every round.
#
#   scripts/cpu_recording.sh [--rounds N] [--display :N] [--base COMMIT] [COMMIT]
#
# COMMIT     what to measure (default HEAD)
# --base     measure against this commit as it stands (e.g. 835a648, before
#            the visit record) instead of COMMIT with its recording off
# --rounds   pairs of runs (default 5)
# --display  X display for Xvfb (default :97)
#
# "Recording off" takes out of the composition root (src/shell/app.cpp) the
# two connections the visit record runs on every status record: the
# measurement row and the "Finish visit" menu entry following the link. The
# rest of the program is the same. Both trees are built from `git archive`
# under /tmp (tests and benchmarks off); run on a quiet machine.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

rounds=5
display=:97
base=""
commit=HEAD
while [ $# -gt 0 ]; do
    case $1 in
        --rounds) rounds=$2; shift 2 ;;
        --display) display=$2; shift 2 ;;
        --base) base=$2; shift 2 ;;
        -h | --help) usage ;;
        -*) usage ;;
        *) commit=$1; shift ;;
    esac
done

work=$(mktemp -d /tmp/qv5-cpu.XXXXXX)
echo "cpu_recording: trees and logs in $work"

# Unpacks `rev` into `dir` and builds the program, the emulator and the texts.
build_tree() {
    local rev=$1 dir=$2
    mkdir -p "$dir"
    git archive "$rev" | tar -x -C "$dir"
    if [ -n "${3:-}" ]; then "$3" "$dir"; fi
    cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQV5_TESTS=OFF -DQV5_BENCH=OFF >"$dir/cmake.log"
    cmake --build "$dir/build" -j2 --target quorvel5 quorvel5-sim qv5_lang_files >"$dir/build.log"
}

# Takes the per-status-record connections of the visit record out.
recording_off() {
    local app=$1/src/shell/app.cpp
    perl -0pi -e 's/QObject::connect\(&[\w.]*dispatcher, &ReplyDispatcher::status_record_received, (visit|men_besuch),\s*[^;]*;//g' "$app"
    if grep -q 'status_record_received, \(visit\|men_besuch\)' "$app" ||
        ! grep -q 'FinishVisit::status_memory_read' "$app"; then
        echo "cpu_recording: could not switch the recording off in $app" >&2
        exit 1
    fi
}

build_tree "$commit" "$work/on"
if [ -n "$base" ]; then
    build_tree "$base" "$work/off"
    off_label="base $base"
else
    build_tree "$commit" "$work/off" recording_off
    off_label="recording off"
fi

# One minute connected; prints the CPU figure in % of one core.
measure() {
    local tree=$1 log
    log=$work/$(basename "$tree")-$(date +%s).log
    scripts/soak.sh 1 --bin "$tree/build/bin" --display "$display" -- >"$log" 2>&1
    awk '/CPU .* of one core over the whole run/ { print $3 }' "$log"
}

on=()
off=()
for round in $(seq "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
        on+=("$(measure "$work/on")")
        off+=("$(measure "$work/off")")
    else
        off+=("$(measure "$work/off")")
        on+=("$(measure "$work/on")")
    fi
    echo "round $round: recording on ${on[-1]} %, $off_label ${off[-1]} %"
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
diffs=()
for i in "${!on[@]}"; do diffs+=("$(awk -v a="${on[$i]}" -v b="${off[$i]}" 'BEGIN { printf "%.2f", a - b }')"); done
echo "median: recording on $(median "${on[@]}") %, $off_label $(median "${off[@]}") %"
echo "paired differences (on - off): ${diffs[*]} points; median $(median "${diffs[@]}")"
