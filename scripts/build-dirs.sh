# Sourced by the build, run and test scripts: where each build lives.
#   broot         the build root (VX_BUILD_ROOT lets several work trees keep their own)
#   VX_WIN_ARCH   x86_64 (default) or i686
#   VX_WIN_BUILD  the Windows build tree; VX_BIN_DIR its runnable install tree
broot=${VX_BUILD_ROOT:-$root/build}
export VX_WIN_ARCH=${VX_WIN_ARCH:-x86_64}
case "$VX_WIN_ARCH" in
  x86_64) VX_WIN_BUILD=$broot/win32; VX_BIN_DIR=${VX_BIN_DIR:-$broot/bin} ;;
  i686)   VX_WIN_BUILD=$broot/win32-i686; VX_BIN_DIR=${VX_BIN_DIR:-$broot/bin-i686} ;;
  *) echo "VX_WIN_ARCH must be x86_64 or i686, not '$VX_WIN_ARCH'" >&2; exit 2 ;;
esac
export VX_WIN_BUILD VX_BIN_DIR
