#!/usr/bin/env bash
# Installs what building and testing Hueline needs on Debian 12.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake make g++ googletest libgtest-dev gcovr
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine32 fonts-wine
  xvfb x11-apps x11-utils imagemagick
  python3
  mtools dosfstools xorriso genisoimage faketime
  clang libclang-rt-14-dev
)
# The 64-bit Wine, for the 64-bit build that the tests run where this machine
# runs no 32-bit code (wine32 may install there, but cannot run).
if [ "$(dpkg --print-architecture)" = amd64 ]; then packages+=(wine64); fi

missing=()
for p in "${packages[@]}"; do
  if [ "$p" = wine32 ]; then q="wine32:i386"; else q="$p"; fi
  dpkg-query -W -f='${Status}' "$q" 2>/dev/null | grep -q 'install ok installed' || missing+=("$q")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
