#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages one use needs, only those that are missing.
#
#   scripts/install-deps.sh [run|test|fuzz|soak] [MORE PACKAGES | package]
#
# run   build the program and the emulator and start them (./run.sh)
# test  build and run the test suite, benchmarks included (./test.sh)
# fuzz  build the libFuzzer harnesses with clang (fuzz/run.sh)
# soak  run the program under Xvfb for a long while (scripts/soak.sh)
# Without a use it installs what all of them need. Further arguments are more
# packages; "package" stands for what building and checking the .deb takes
# (dpkg-shlibdeps, desktop-file-validate, appstreamcli, lintian).
set -euo pipefail

build=(cmake ninja-build g++ mold qt6-base-dev libssl-dev)
# Qt's dialog texts in the program's language and the fonts the window and the
# printed page ask for.
program=(qt6-serialport-dev qt6-translations-l10n fonts-dejavu-core fonts-urw-base35
         fonts-liberation2)
tests=(libgtest-dev libbenchmark-dev poppler-utils)
fuzz=(clang libclang-rt-dev)
soak=(xvfb)

use=all
case "${1:-}" in
    run | test | fuzz | soak | all) use=$1; shift ;;
esac
case "$use" in
    run) packages=("${build[@]}" "${program[@]}") ;;
    test) packages=("${build[@]}" "${program[@]}" "${tests[@]}") ;;
    fuzz) packages=("${build[@]}" "${fuzz[@]}") ;;
    soak) packages=("${build[@]}" "${program[@]}" "${soak[@]}") ;;
    all) packages=("${build[@]}" "${program[@]}" "${tests[@]}" "${fuzz[@]}" "${soak[@]}") ;;
esac
for arg in "$@"; do
    case $arg in
        package) packages+=(dpkg-dev desktop-file-utils appstream lintian) ;;
        *) packages+=("$arg") ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
