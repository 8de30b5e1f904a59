#!/usr/bin/env bash
# Soak test: runs the program under Xvfb against quorvel5-sim with light faults
# for MINUTES minutes and prints once a minute the program's resident memory,
# its CPU use over that minute and whether the link is up.
#
#   scripts/soak.sh MINUTES [--bin DIR] [--display :N] [-- EMULATOR OPTIONS]
#
# --bin      folder holding quorvel5, quorvel5-sim and the language files
#            (default build/bin; copy it first to keep rebuilds out of a long run)
# --display  X display for Xvfb (default :97); an X server already on it is used
# After "--" come the emulator's fault options instead of the default light
# faults: a dropped, a corrupted and a split reply now and then.
#
# The link is judged from the device's side, from the emulator's wire log: while
# the program is connected it asks for a status record every 0.2 s, so a good
# status reply (neither dropped nor corrupted) at least every 5 s means the link
# is up. Every stretch of more than 5 s without one is listed at the end, as are
# the reconnections (each connection starts with the version request "?").
set -euo pipefail
"$(dirname "$0")/install-deps.sh" soak

usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

[ $# -ge 1 ] || usage
minutes=$1
shift
[[ $minutes =~ ^[0-9]+$ ]] && [ "$minutes" -ge 1 ] || usage
bin=build/bin
display=:97
faults=(--drop 97 --corrupt 89 --split-every 13)
while [ $# -gt 0 ]; do
    case $1 in
        --bin) bin=$2; shift 2 ;;
        --display) display=$2; shift 2 ;;
        --) shift; faults=("$@"); break ;;
        *) usage ;;
    esac
done
bin=$(cd "$bin" && pwd)
for exe in quorvel5 quorvel5-sim; do
    [ -x "$bin/$exe" ] || { echo "soak: no $bin/$exe" >&2; exit 2; }
done

work=$(mktemp -d /tmp/qv5-soak.XXXXXX)
sim_log=$work/sim.log
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# The program says "unable to load configuration" without a settings file.
[ -e "$bin/quorvel5.ini" ] ||
    printf 'TIMEOUT|1\r\nTIMERINTERVAL|50\r\nINITDIR|%s/\r\n' "$bin" >"$bin/quorvel5.ini"

if ! xdpyinfo -display "$display" >/dev/null 2>&1 && [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
    Xvfb "$display" -screen 0 1280x1024x24 >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    sleep 1
fi

"$bin/quorvel5-sim" --log "$sim_log" "${faults[@]}" 2>"$work/sim.err" &
pids+=($!)
sim_start_ms=$(date +%s%3N)
for _ in $(seq 50); do [ -e "$bin/ttyQV5SIM" ] && break; sleep 0.1; done
[ -e "$bin/ttyQV5SIM" ] || { echo "soak: the emulator did not start" >&2; cat "$work/sim.err" >&2; exit 1; }

DISPLAY=$display QT_LOGGING_RULES="quorvel5.link.queue.info=true" \
    "$bin/quorvel5" >"$work/program.out" 2>"$work/program.err" &
program=$!
pids=("$program" "${pids[@]}")

clk_tck=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$program/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$program/status"; }
now_sim_ms() { echo $(($(date +%s%3N) - sim_start_ms)); }

# Status replies the device put on the line intact: "SEND [stray bytes] 26 xx 69 3[01] ...".
good_status_times() {
    awk '$2 == "SEND" && / 26 [0-9A-F][0-9A-F] 69 3[01] / &&
         !/dropped/ && !/CRC corrupted/ { print $1 }' "$sim_log"
}
connects() { awk '$2 == "RECV" && $3 " " $4 " " $5 == "26 31 3F" { n++ } END { print n + 0 }' "$sim_log"; }

# Memory and CPU count from the first status reply on: start-up is not the steady state.
for _ in $(seq 600); do
    [ -n "$(good_status_times | head -1)" ] && break
    sleep 0.1
done

echo "soak: $minutes min, emulator ${faults[*]}, files in $work"
printf '%6s %9s %7s %5s %14s %13s %9s\n' minute rss_kB cpu_% link status_replies longest_gap_s connects
rss_start=$(rss_kb)
ticks_start=$(cpu_ticks)
wall_start=$(date +%s%3N)
last_ticks=$ticks_start
last_wall=$wall_start
for minute in $(seq "$minutes"); do
    sleep 60
    if ! kill -0 "$program" 2>/dev/null; then
        echo "soak: the program ended after $((minute - 1)) min" >&2
        exit 1
    fi
    ticks=$(cpu_ticks)
    wall=$(date +%s%3N)
    cpu=$(awk -v t=$((ticks - last_ticks)) -v w=$((wall - last_wall)) -v hz="$clk_tck" \
        'BEGIN { printf "%.2f", 100 * t / hz / (w / 1000) }')
    last_ticks=$ticks
    last_wall=$wall
    now=$(now_sim_ms)
    read -r count gap link < <(good_status_times | awk -v now="$now" '
        { if ($1 >= now - 60000) { if (prev != "" && $1 - prev > gap) gap = $1 - prev; n++ }
          prev = $1 }
        END { if (now - prev > gap) gap = now - prev
              printf "%d %.1f %s\n", n, gap / 1000, (prev != "" && now - prev <= 5000) ? "up" : "DOWN" }')
    printf '%6d %9s %7s %5s %14s %13s %9s\n' "$minute" "$(rss_kb)" "$cpu" "$link" "$count" "$gap" "$(connects)"
done

echo "soak: resident memory $rss_start kB once connected, $(rss_kb) kB at the end"
awk -v t=$(($(cpu_ticks) - ticks_start)) -v w=$(($(date +%s%3N) - wall_start)) -v hz="$clk_tck" \
    'BEGIN { printf "soak: CPU %.2f %% of one core over the whole run\n", 100 * t / hz / (w / 1000) }'
echo "soak: connections made: $(connects) (the first one included)"
echo "soak: stretches of more than 5 s without a good status reply:"
good_status_times | awk -v now="$(now_sim_ms)" '
    { if (prev != "" && $1 - prev > 5000) { printf "  %.1f s from %.1f s\n", ($1 - prev) / 1000, prev / 1000; n++ }
      prev = $1 }
    END { if (now - prev > 5000) { printf "  %.1f s from %.1f s (to the end)\n", (now - prev) / 1000, prev / 1000; n++ }
          if (n == 0) print "  none" }'
high=$(grep -o 'high-water mark while connected: [0-9]*' "$work/program.err" | tail -1 || true)
echo "soak: request queue ${high:-high-water mark while connected: unknown}"
faults_seen=$(grep -c 'dropped\|CRC corrupted\|split' "$sim_log" || true)
echo "soak: replies the emulator dropped, corrupted or split: $faults_seen"
