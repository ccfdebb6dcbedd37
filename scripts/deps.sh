#!/usr/bin/env bash
# Installs what the build, the run and the tests need, when it is missing.
# The Windows half follows VX_WIN_ARCH: x86_64 (default) needs the 64-bit MinGW
# compilers and 64-bit Wine only; i686 adds the 32-bit ones (and the i386
# architecture for Wine's 32-bit loader).
set -euo pipefail
arch=${VX_WIN_ARCH:-x86_64}
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest python3
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick procps
          bzip2 libbz2-dev
          libz-mingw-w64-dev
          python3-aiosmtpd
          curl
          chromium
          python3-websocket
          pulseaudio sox python3-pyftpdlib
          ccache
)
case "$arch" in
  x86_64) ;;
  i686) packages+=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386) ;;
  *) echo "VX_WIN_ARCH must be x86_64 or i686, not '$arch'" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if [ "$arch" = i686 ] && ! dpkg --print-foreign-architectures | grep -q i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
