#!/usr/bin/env bash
# start <dir>: an Xvfb display and a fresh 32-bit Wine prefix under <dir>; writes <dir>/env.
# stop <dir>:  ends the prefix's wineserver and the display.
# A prefix created without a display hangs for minutes, so the display comes first.
set -euo pipefail
cmd=$1; dir=$2
root=$(cd "$(dirname "$0")/.." && pwd)
case "$cmd" in
start)
  [ -f "$dir/env" ] && "$0" stop "$dir" || true
  rm -rf "$dir"; mkdir -p "$dir"
  # Take the first display number whose Xvfb actually comes up (several runs may race).
  display=""
  for n in $(seq 90 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
    pid=$!
    for i in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; echo $pid >"$dir/xvfb.pid"; break; fi
  done
  [ -n "$display" ] || { echo "no free X display"; exit 1; }
  cat >"$dir/env" <<ENV
export DISPLAY=$display
export WINEPREFIX=$dir/prefix
export WINEARCH=win32
export WINEDEBUG=-all
# A crashing test ends at once instead of waiting in the crash debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
ENV
  . "$dir/env"
  timeout 240 wineboot -i >"$dir/wineboot.log" 2>&1
  timeout 60 wineserver -w || true
  # Session-wide settings every test relies on (mail provider registration, ...).
  for hook in "$root"/scripts/wine-setup.d/*.sh; do
    [ -f "$hook" ] && . "$hook"
  done
  echo "Wine prefix ready in $WINEPREFIX on $DISPLAY"
  ;;
stop)
  if [ -f "$dir/env" ]; then . "$dir/env"; timeout 30 wineserver -k 2>/dev/null || true; fi
  if [ -f "$dir/xvfb.pid" ]; then kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true; rm -f "$dir/xvfb.pid"; fi
  ;;
*) echo "usage: $0 start|stop <dir>"; exit 2;;
esac
