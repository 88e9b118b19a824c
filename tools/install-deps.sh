#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Kalvora 98 needs.
# Idempotent: packages already present are skipped, and apt-get update runs at most once.
set -euo pipefail

packages=(
  cmake make g++ clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev libmpfr-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth openbox xdotool xclip imagemagick
  zip unzip w3m locales librsvg2-bin tidy chromium python3
  libcli11-dev nlohmann-json3-dev librapidxml-dev
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

# The double-byte tests run Wine in a Japanese locale (code page 932). Wine names the
# files in the locale's character set, so the locale itself must exist.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# Wine's 32-bit loader is an i386 Linux program. Some x86-64 kernels refuse to execute
# those (IA-32 emulation off, as in confidential VMs); there qemu's user-mode emulator
# runs it, registered with binfmt_misc. It has to be qemu 10 from backports: 7.2 spends
# some 45 s of CPU reserving Wine's address space at every start.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if [ ! -x /usr/bin/qemu-i386 ]; then
    echo "This kernel does not run i386 programs: installing qemu-user for Wine's loader"
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
        'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $SUDO tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
      -t bookworm-backports qemu-user >/dev/null
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || $SUDO mount -t binfmt_misc binfmt_misc $binfmt
  [ -e $binfmt/qemu-i386 ] && echo -1 | $SUDO tee $binfmt/qemu-i386 >/dev/null
  # ELF, 32-bit, little-endian, executable or shared object, machine i386.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386:F" | $SUDO tee $binfmt/register >/dev/null
  /usr/lib/wine/wine --version >/dev/null
fi
