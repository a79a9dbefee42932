#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing (--fuzz: also
# those of the fuzz build; --package: those of `make package`; --windows: the MinGW-w64 compiler
# of `make windows-check`).
set -euo pipefail
packages=(cmake g++ make pkg-config libicu-dev libgtest-dev qt6-base-dev qt6-translations-l10n libjpeg-dev
  libxlsxwriter-dev
  fonts-ipafont-gothic fonts-ipafont-mincho)
# The fuzz build needs clang and its sanitizer and libFuzzer runtime.
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-dev)
# dpkg-shlibdeps reads the package's dependencies off its programs.
[ "${1:-}" = "--package" ] && packages+=(dpkg-dev)
[ "${1:-}" = "--windows" ] && packages+=(g++-mingw-w64-x86-64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}"; then
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
