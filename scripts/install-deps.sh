#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build, the tests and the program need,
# only those that are missing.
set -euo pipefail

# Arguments are further packages; "package" stands for what building and
# checking the .deb takes (dpkg-shlibdeps, desktop-file-validate, appstreamcli, lintian).
wanted=()
for arg in "$@"; do
    case $arg in
        package) wanted+=(dpkg-dev desktop-file-utils appstream lintian) ;;
        *) wanted+=("$arg") ;;
    esac
done
packages=(cmake ninja-build g++ clang libclang-rt-dev qt6-base-dev qt6-serialport-dev
          libgtest-dev libbenchmark-dev fonts-dejavu-core fonts-urw-base35 qt6-translations-l10n
          fonts-liberation2 poppler-utils "${wanted[@]}")
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
