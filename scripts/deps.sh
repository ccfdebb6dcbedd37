#!/usr/bin/env bash
# Installs what the build, the run and the tests need, when it is missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-tools
          wine wine32:i386 xvfb xauth x11-utils xdotool imagemagick procps
          bzip2
          python3-aiosmtpd
          curl
          chromium
          python3-websocket
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -q i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
