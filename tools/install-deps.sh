#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kalvora 98 needs.
# Idempotent: packages already present are skipped, and apt-get update runs at most once.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth openbox xdotool xclip imagemagick
)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
