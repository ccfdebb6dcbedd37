#!/usr/bin/env bash
# start <dir>: an Xvfb display (or the user's, with VX_USE_DISPLAY=1) and a fresh
#              Wine prefix under <dir> for VX_WIN_ARCH (x86_64: a win64 prefix run by
#              the 64-bit loader; i686: a win32 prefix run by the 32-bit one);
#              writes <dir>/env, which puts a `wine` for that loader first on PATH.
# stop <dir>:  ends the prefix's wineserver and the display.
# A prefix created without a display hangs for minutes, so the display comes first.
# <dir>/ready is written last: a session without it is half made and is never reused.
# VX_USE_DISPLAY=1 with DISPLAY set: Wine's windows go to that display, managed by
# its window manager; otherwise to a private Xvfb with unmanaged windows (tests).
set -euo pipefail
cmd=$1; dir=$2
root=$(cd "$(dirname "$0")/.." && pwd)
arch=${VX_WIN_ARCH:-x86_64}
fail() { echo "wine-session: $*" >&2; exit 1; }
case "$cmd" in
start)
  [ -f "$dir/env" ] && "$0" stop "$dir" || true
  rm -rf "$dir"; mkdir -p "$dir/bin"
  case "$arch" in
    x86_64) loader=/usr/lib/wine/wine64; winearch=win64 ;;
    i686)   loader=/usr/lib/wine/wine;   winearch=win32 ;;
    *) fail "VX_WIN_ARCH must be x86_64 or i686, not '$arch'" ;;
  esac
  # Say at once, in one line, when this machine cannot run the loader (32-bit
  # programs refused by the kernel, Wine not installed...).
  [ -x "$loader" ] || fail "no Wine loader for $arch Windows programs ($loader): install $([ "$arch" = i686 ] && echo wine32:i386 || echo wine64)"
  if ! timeout 20 "$loader" --version 2>/dev/null | grep -q '^wine-'; then
    hint=""; [ "$arch" = i686 ] && hint=" (does its kernel refuse 32-bit programs? build and test the default x86_64)"
    fail "this machine cannot start $loader, so $arch Windows programs cannot run here$hint"
  fi
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$dir/bin/wine"; chmod +x "$dir/bin/wine"
  if [ "${VX_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
    display=$DISPLAY
  else
    # Take the first display number whose Xvfb actually comes up (several runs may race).
    command -v Xvfb >/dev/null || fail "Xvfb is not installed (package xvfb)"
    display=""
    for n in $(seq 90 190); do
      [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
      pid=$!
      for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done
      if kill -0 $pid 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; echo $pid >"$dir/xvfb.pid"; break; fi
    done
    [ -n "$display" ] || fail "no free X display for Xvfb"
  fi
  cat >"$dir/env" <<ENV
export DISPLAY=$display
export VX_SESSION_DISPLAY=$([ -f "$dir/xvfb.pid" ] && echo virtual || echo user)
export WINEPREFIX=$dir/prefix
export WINEARCH=$winearch
export WINELOADER=$loader
export PATH=$dir/bin:\$PATH
export WINEDEBUG=-all
# A crashing test ends at once instead of waiting in the crash debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
ENV
  . "$dir/env"
  if ! timeout 240 wine wineboot -i >"$dir/wineboot.log" 2>&1; then
    fail "Wine could not make its prefix in $WINEPREFIX ($(tail -n 1 "$dir/wineboot.log"))"
  fi
  timeout 60 wineserver -w || true
  # Keep the wineserver, and with it Wine's service processes and the desktop
  # window's explorer, running for the whole session, started here with their
  # output going nowhere. Started by the first test instead, they would inherit
  # that test's output pipe and hold it open long after the test has ended.
  # (So nothing may wait for the server to end: `wineserver -w` would hang.)
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  # Session-wide settings every test relies on (mail provider registration, ...).
  for hook in "$root"/scripts/wine-setup.d/*.sh; do
    [ -f "$hook" ] && . "$hook"
  done
  timeout 60 wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 ||
    fail "Wine could not start a program with a window in $WINEPREFIX on $display"
  touch "$dir/ready"
  echo "Wine prefix ($arch) ready in $WINEPREFIX on $display"
  ;;
stop)
  if [ -f "$dir/env" ]; then ( . "$dir/env"; timeout 30 wineserver -k 2>/dev/null ) || true; fi
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true; rm -f "$dir/xvfb.pid"; fi
  ;;
*) echo "usage: $0 start|stop <dir>"; exit 2;;
esac
