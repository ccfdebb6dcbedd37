#!/usr/bin/env bash
# Vindalex.exe under Wine started from a program folder whose rule file is
# missing, then damaged: it shows the boxes for the grammar it cannot load,
# answered OK here, and ends on its own with exit code 0 (no crash, no abort).
set -euo pipefail
root=${VX_SOURCE_ROOT:?}
build=${VX_BUILD_DIR:?}
bin=${VX_BIN_DIR:?}
. "${VX_WINE_ENV:-$build/wine/env}"
work=$build/vindalex_grammar_startup_test
rm -rf "$work"
mkdir -p "$work"

key='HKCU\Software\Ostrel Software\Vindalex Personal Assistant'
pid=
fail() { echo "FAIL: $*"; [ -n "$pid" ] && kill "$pid" 2>/dev/null; restore_settings; exit 1; }
# The start-up saves the settings it loaded: the stored ones are put back at the end.
had_settings=0
if timeout 60 wine reg export "$key" "$work/settings.reg" /y >/dev/null 2>&1; then had_settings=1; fi
restore_settings() {
  timeout 60 wine reg delete "$key" /f >/dev/null 2>&1 || true
  if [ "$had_settings" = 1 ]; then timeout 120 wine regedit /S "$work/settings.reg" >/dev/null 2>&1 || true; fi
}
# Set up already, no log-on, no desktop toolbar, no update check: the boxes
# for the grammar are the only windows start-up shows.
cat >"$work/quiet.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Ostrel Software\Vindalex Personal Assistant\Korvaneant1]
"kVRWO"=dword:00000001
"kVAutoLogin"=dword:00000000
"kVCreateAppBar"=dword:00000000
"kVNoUpdates"=dword:00000001
"kVUseWWWServer"=dword:00000000
REG
timeout 120 wine regedit /S "$work/quiet.reg" >/dev/null 2>&1 || fail "the settings for the run could not be written"

probe() { timeout 300 wine "$VX_TEST_BIN_DIR/vindalex_window_tree.exe" "$@" 2>/dev/null | tr -d '\r'; }
not_found='Dictionary Test Failed: "Not found, please reinstall." (57005)\r\n'
reinstall='There was a problem loading the Grammar Parser\nPlease Re-install. (QTkv116)'

# start_broken <name> <expected box>...: starts a copy of the program whose
# rule file <name> spoiled, answers each expected box in turn, then waits for
# the program to end.
start_broken() {
  local name=$1
  shift
  local prog=$work/$name
  mkdir -p "$prog"
  cp "$bin"/Vindalex.exe "$bin"/Trellane.dll "$bin"/VxFx.dll "$bin"/vndHook.dll "$bin"/lib*.dll "$bin"/*.kVX "$bin"/*.Vqt "$prog/"
  case $name in
    missing) rm "$prog/VindalexR.Vqt" ;;
    truncated) head -c "$(($(stat -c %s "$bin/VindalexR.Vqt") / 2))" "$bin/VindalexR.Vqt" >"$prog/VindalexR.Vqt" ;;
  esac
  echo "from an earlier run" >"$prog/Vindalex.log"
  VX_PROGRAM_PATH=$(printf 'Z:%s' "$prog/Vindalex.exe" | sed 's#/#\\#g')
  export VX_PROGRAM_PATH
  (cd "$prog" && VINDALEX_NO_TIPS=1 exec wine Vindalex.exe) >"$work/$name.out" 2>&1 &
  pid=$!
  local expected seen
  for expected in "$@"; do
    seen=$(probe box) || fail "$name: no box \"$expected\" ($seen)"
    echo "$name: box: $seen"
    [ "$seen" = "$expected" ] || fail "$name: box \"$seen\", expected \"$expected\""
  done
  for _ in $(seq 1 240); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
  kill -0 "$pid" 2>/dev/null && fail "$name: the program did not end after its boxes"
  local rc=0
  wait "$pid" || rc=$?
  pid=
  [ "$rc" = 0 ] || { cat "$work/$name.out"; fail "$name: the program ended with code $rc"; }
  # Start-up had gone as far as the parser: the last log was kept.
  grep -q "from an earlier run" "$prog/VindalexB.log" || fail "$name: the log was not rotated before the parser"
}

start_broken missing "$not_found" "$reinstall"
start_broken truncated "$reinstall"
restore_settings
echo "PASS"
