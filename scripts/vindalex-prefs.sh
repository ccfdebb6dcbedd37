#!/usr/bin/env bash
# Writes the assistant's settings for a demo or test run into the current Wine
# prefix (WINEPREFIX etc. exported): assistant name, mail profile, automatic
# log-on, a short mail tick, no tip of the day, the web server on 127.0.0.1.
# usage: vindalex-prefs.sh [name] [port] [mail profile]
set -euo pipefail
name=${1:-Vindi}
port=${2:-8088}
profile=${3:-Vindalex}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# Profile names are stored scrambled: per byte 255 - (byte rotated left by 5),
# as two upper-case hex digits and a blank.
unm=$(/usr/bin/python3 -c '
import sys
print("".join("%02X " % (255 - (((b << 5) | (b >> 3)) & 255)) for b in sys.argv[1].encode()), end="")
' "$profile")
key='HKEY_CURRENT_USER\Software\Ostrel Software\Vindalex Personal Assistant'
cat >"$dir/prefs.reg" <<REG
REGEDIT4

[$key\\Korvaneant1]
"kVMyName"="$name"
"kVUNM"="$unm"
"kVUPM"=""
"kVRWO"=dword:00000001
"kVAutoLogin"=dword:00000001
"kVCheckMAPI"=dword:00000001
"kVCheckFIFO"=dword:00000001
"kVRefreshRate"=dword:00000032
"kVCreateAppBar"=dword:00000000
"kVNoUpdates"=dword:00000001
"kVUseWWWServer"=dword:00000001
"kVWPort"=dword:$(printf '%08x' "$port")

[$key\\TipOfTheDay]
"StartUp"=dword:00000001
REG
timeout 120 wine regedit /S "$dir/prefs.reg" >/dev/null 2>&1
