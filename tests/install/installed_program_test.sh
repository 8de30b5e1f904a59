#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed program
# offscreen against the installed emulator, with HOME and the XDG folders in a
# temporary folder: it must find its language files, start without a message,
# connect, and write nothing outside the user's folders.
# Usage: installed_program_test.sh CMAKE BUILD_DIR
set -uo pipefail
cmake_bin=$1 build=$2
t=$(mktemp -d)
sim_pid="" app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$t"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- program's error output:"; cat "$t/app.err"; exit 1; }

"$cmake_bin" --install "$build" --prefix "$t/prefix" >/dev/null || fail "install"
prefix=$t/prefix
mkdir -p "$t/home" "$t/work" && mkdir -m 700 "$t/run"
export HOME=$t/home XDG_CONFIG_HOME=$t/home/.config XDG_DATA_HOME=$t/home/.local/share
export XDG_CACHE_HOME=$t/home/.cache XDG_STATE_HOME=$t/home/.local/state XDG_RUNTIME_DIR=$t/run
export QT_QPA_PLATFORM=offscreen QT_QPA_PLATFORMTHEME=
export QT_LOGGING_RULES="quorvel5.messages.info=true;quorvel5.link.queue.info=true"
cd "$t/work" || fail "work folder"
touch "$t/installed"
: > "$t/app.err"

# Help needs no window: the description comes from the installed language file.
"$prefix/bin/quorvel5" --help > "$t/help" 2>&1 || fail "--help ended with an error"
grep -q "quorvel5-sim" "$t/help" || fail "--help lacks the description: $(cat "$t/help")"

"$prefix/bin/quorvel5-sim" --log "$t/wire.log" & sim_pid=$!
for _ in $(seq 100); do [ -e "$t/run/ttyQV5SIM" ] && break; sleep 0.1; done
[ -e "$t/run/ttyQV5SIM" ] || fail "the emulator published no link in XDG_RUNTIME_DIR"

"$prefix/bin/quorvel5" 2> "$t/app.err" & app_pid=$!
for _ in $(seq 300); do
    grep -q "while connected" "$t/app.err" && break
    grep -q "quorvel5.messages" "$t/app.err" && fail "the program showed a message"
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
done
grep -q "while connected" "$t/app.err" || fail "no connection within 30 s"
grep -q "quorvel5.messages" "$t/app.err" && fail "the program showed a message"
kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""

written=$(find "$prefix" "$t/work" -newer "$t/installed")
[ -z "$written" ] || fail "written outside the user's folders: $written"
echo "installed program: help, language files, quiet start, connection, nothing written outside"
