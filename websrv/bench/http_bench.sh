#!/usr/bin/env bash
# Static-file benchmark of the web server under Wine beside nginx, same run:
# a 10 KB file, "Connection: close" on every request, at each count of
# connections in VX_BENCH_CONNECTIONS (default "1 16").
# Prints requests per second and latency percentiles of both (wrk --latency),
# and of the socket floor: a Win32 program under the same Wine doing only
# accept, recv, one send of a ready answer and closesocket per request (the
# least any Win32 server pays there). Runs alternate; rounds repeat them.
# Usage: websrv/bench/http_bench.sh [seconds] [rounds]   (after scripts/build.sh)
# VX_WIN_ARCH=i686 measures the 32-bit build (build/win32-i686, build/bin-i686);
# VX_BUILD_DIR and VX_BIN_DIR name other trees.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
secs=${1:-10}
rounds=${2:-1}
. "$root/scripts/build-dirs.sh"
build=${VX_BUILD_DIR:-$VX_WIN_BUILD}
helper=$build/tests/websrv_site_helper.exe
floor=$build/tests/websrv_socket_floor.exe
[ -f "$helper" ] || { echo "build first: $helper missing"; exit 2; }
need=()
command -v wrk >/dev/null || need+=(wrk)
[ -x /usr/sbin/nginx ] || need+=(nginx-light)
if [ ${#need[@]} -gt 0 ]; then
  apt-get install -y -qq "${need[@]}" >/dev/null ||
    { apt-get update -qq && apt-get install -y -qq "${need[@]}" >/dev/null; }
fi

work=$(mktemp -d /tmp/vxbench.XXXXXX)
session=$work/wine
nginx_pid=""
helper_pid=""
floor_pid=""
cleanup() {
  [ -n "$helper_pid" ] && { touch "$work/site/stop"; wait "$helper_pid" 2>/dev/null || true; }
  [ -n "$floor_pid" ] && kill "$floor_pid" 2>/dev/null || true
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
  "$root/scripts/wine-session.sh" stop "$session" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

"$root/scripts/wine-session.sh" start "$session" >/dev/null
export VX_WINE_ENV=$session/env

mkdir -p "$work/site/PlaceWebsiteFilesHere" "$work/nginx"
chmod 755 "$work" "$work/nginx"
head -c 10240 /dev/urandom | base64 -w 76 | head -c 10240 > "$work/site/PlaceWebsiteFilesHere/file10k.txt"
cp "$work/site/PlaceWebsiteFilesHere/file10k.txt" "$work/nginx/file10k.txt"
chmod 644 "$work/nginx/file10k.txt"

(cd "$work/site" && exec "$root/scripts/wine-run.sh" "$helper" "Z:${work//\//\\}\\site" p) >/dev/null 2>&1 &
helper_pid=$!
for _ in $(seq 1 600); do [ -s "$work/site/port.txt" ] && break; sleep 0.1; done
port=$(tr -d '\r\n' < "$work/site/port.txt")
fport=""
if [ -f "$floor" ]; then
  "$root/scripts/wine-run.sh" "$floor" "Z:${work//\//\\}\\floor.txt" >/dev/null 2>&1 &
  floor_pid=$!
  for _ in $(seq 1 600); do [ -s "$work/floor.txt" ] && break; sleep 0.1; done
  fport=$(tr -d '\r\n' < "$work/floor.txt")
fi

nport=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat > "$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  server {
    listen 127.0.0.1:$nport;
    root $work/nginx;
  }
}
CONF
/usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
nginx_pid=$!
sleep 0.5

conns=${VX_BENCH_CONNECTIONS:-1 16}
run() {
  for c in $conns; do
    echo "== $1, $c connection(s)"
    wrk -t1 -c"$c" -d"${secs}s" --latency -H "Connection: close" "$2" | sed -n '/Latency Distribution/,/Requests\/sec/p'
  done
}
curl -sf -o /dev/null "http://127.0.0.1:$port/file10k.txt" || { echo "web server not answering"; exit 1; }
for round in $(seq 1 "$rounds"); do
  if [ "$rounds" -gt 1 ]; then echo "---- round $round"; fi
  run "Vindalex web server under Wine (port $port)" "http://127.0.0.1:$port/file10k.txt"
  run "nginx (port $nport)" "http://127.0.0.1:$nport/file10k.txt"
  if [ -n "$fport" ]; then run "socket floor under Wine (port $fport)" "http://127.0.0.1:$fport/file10k.txt"; fi
done
